#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry file's contents as lines. Every line keeps its exact bytes
// (line end included) until a change rewrites it, so a rewrite keeps whatever
// people and other programs wrote: comments, blank lines, lines this reader
// does not understand. Section headers and key = value pairs are recognised
// with blanks around them and a trailing comment; section and key names match
// without regard to letter case. A line that starts with '[' but is no header
// still ends the section before it, so no key is taken for a section it was
// not written in.
namespace fileio {

class RegistryDocument {
public:
  static RegistryDocument Parse(std::string_view text);

  // The value of the last pair with this key in any section of this name.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Rewrites the value of the pair Find reads in place, or adds the pair after
  // the last pair of the last section of this name, or adds the section at the
  // end. False when the key already held this value: nothing changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Serialize() const;

private:
  enum class LineKind { Section, OtherHeader, Pair, Kept };
  enum class Ending : unsigned char { None, LF, CRLF };  // a last line may have none
  struct Line {
    LineKind kind = LineKind::Kept;
    Ending ending = Ending::None;
    std::string raw;                           // the line's bytes without its line end
    std::string name;                          // section name or key, unescaped
    std::size_t valueBegin = 0, valueEnd = 0;  // a pair's value as spelled within raw
  };

  static Line ParseLine(std::string raw, Ending ending);
  static std::string ValueOf(const Line& line);
  Ending NewLineEnding() const;
  // Index of the pair Find reads, or of the line after which a new pair goes.
  std::optional<std::size_t> FindPair(std::string_view section, std::string_view key) const;

  std::vector<Line> lines_;
};

}  // namespace fileio
