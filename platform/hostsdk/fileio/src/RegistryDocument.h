#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The registry file's contents as lines: section headers, key=value pairs and
// the comments and blank lines between them, so a rewrite keeps what a person
// wrote by hand. Lines that are none of these are garbled and are dropped by
// the next rewrite.
namespace fileio {

class RegistryDocument {
public:
  static RegistryDocument Parse(std::string_view text);

  // The value of the last pair with this key in any section of this name.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;
  // Replaces the first such pair and removes the others, or appends the pair
  // to the last section of this name, or appends a new section.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  std::string Serialize() const;

private:
  enum class LineKind { Section, Pair, Kept, Garbled };
  struct Line {
    LineKind kind = LineKind::Kept;
    std::string name;   // section name or key, unescaped
    std::string value;  // unescaped value; raw text for kept lines
  };

  static Line ParseLine(std::string_view text);

  std::vector<Line> lines_;
};

}  // namespace fileio
