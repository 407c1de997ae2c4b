#include "RegistryDocument.h"

#include "RegistryText.h"

namespace fileio {

RegistryDocument::Line RegistryDocument::ParseLine(std::string raw, Ending ending) {
  Line line;
  line.raw = std::move(raw);
  line.ending = ending;
  std::string_view text = line.raw;
  std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') return line;
  if (trimmed.front() == '[') {
    line.kind = LineKind::OtherHeader;
    std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) return line;
    std::string_view rest = TrimBlanks(trimmed.substr(close + 1));
    if (!rest.empty() && rest.front() != ';' && rest.front() != '#') return line;
    line.kind = LineKind::Section;
    line.name = UnescapeText(TrimBlanks(trimmed.substr(1, close - 1)));
    return line;
  }
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = LineKind::Pair;
  line.name = UnescapeText(TrimBlanks(text.substr(0, equals)));
  ValueSpan span = ReadValue(text.substr(equals + 1));
  line.valueBegin = equals + 1 + span.begin;
  line.valueEnd = equals + 1 + span.end;
  return line;
}

// Decoded when asked for: most lines of a large file are never read.
std::string RegistryDocument::ValueOf(const Line& line) {
  std::string_view raw = line.raw;
  std::size_t equals = raw.find('=');
  return ReadValue(raw.substr(equals + 1)).value;
}

RegistryDocument RegistryDocument::Parse(std::string_view text) {
  RegistryDocument document;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    Ending ending = end == std::string_view::npos ? Ending::None : Ending::LF;
    if (ending == Ending::LF && !line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
      ending = Ending::CRLF;
    }
    document.lines_.push_back(ParseLine(std::string(line), ending));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return document;
}

std::optional<std::size_t> RegistryDocument::FindPair(std::string_view section, std::string_view key) const {
  std::optional<std::size_t> found;
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::Section || line.kind == LineKind::OtherHeader)
      inSection = line.kind == LineKind::Section && SameName(line.name, section);
    else if (inSection && line.kind == LineKind::Pair && SameName(line.name, key))
      found = i;
  }
  return found;
}

std::optional<std::string> RegistryDocument::Find(std::string_view section, std::string_view key) const {
  std::optional<std::size_t> at = FindPair(section, key);
  if (!at) return std::nullopt;
  return ValueOf(lines_[*at]);
}

RegistryDocument::Ending RegistryDocument::NewLineEnding() const {
  for (const Line& line : lines_)
    if (line.ending != Ending::None) return line.ending;
  return Ending::LF;
}

bool RegistryDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (std::optional<std::size_t> at = FindPair(section, key)) {
    Line& line = lines_[*at];
    if (ValueOf(line) == value) return false;
    std::string rest = line.raw.substr(line.valueEnd);
    // A comment counts as one only after a blank; keep it one.
    if (!rest.empty() && rest.front() == ';') rest.insert(0, " ");
    std::string raw = line.raw.substr(0, line.valueBegin) + EncodeValue(value) + rest;
    lines_[*at] = ParseLine(std::move(raw), line.ending);
    return true;
  }

  // After the last pair (or the header) of the last section of this name.
  std::optional<std::size_t> insertAfter;
  bool inSection = false;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Line& line = lines_[i];
    if (line.kind == LineKind::Section || line.kind == LineKind::OtherHeader) {
      inSection = line.kind == LineKind::Section && SameName(line.name, section);
      if (inSection) insertAfter = i;
    } else if (inSection && line.kind == LineKind::Pair) {
      insertAfter = i;
    }
  }
  Ending ending = NewLineEnding();
  std::string pair = EscapeText(key, TextRole::Key) + "=" + EncodeValue(value);
  std::vector<Line> added;
  if (!insertAfter) {
    if (!lines_.empty()) added.push_back(ParseLine("", ending));  // a blank line between sections
    added.push_back(ParseLine("[" + EscapeText(section, TextRole::Section) + "]", ending));
  }
  added.push_back(ParseLine(pair, ending));
  std::size_t position = insertAfter ? *insertAfter : (lines_.empty() ? 0 : lines_.size() - 1);
  // The line before the new ones may be the file's last, without a line end yet.
  // A CR at its end is part of its text and must stay so: it gets a CR LF of its own.
  if (!lines_.empty() && lines_[position].ending == Ending::None) {
    const std::string& raw = lines_[position].raw;
    lines_[position].ending = !raw.empty() && raw.back() == '\r' ? Ending::CRLF : ending;
  }
  std::size_t insertAt = lines_.empty() ? 0 : position + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), added.begin(), added.end());
  return true;
}

std::string RegistryDocument::Serialize() const {
  std::size_t size = 0;
  for (const Line& line : lines_) size += line.raw.size() + 2;
  std::string text;
  text.reserve(size);
  for (const Line& line : lines_) {
    text += line.raw;
    if (line.ending == Ending::CRLF) text += '\r';
    if (line.ending != Ending::None) text += '\n';
  }
  return text;
}

}  // namespace fileio
