#include "RegistryDocument.h"

#include "RegistryText.h"

namespace fileio {

namespace {

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r") == std::string_view::npos; }

}  // namespace

RegistryDocument::Line RegistryDocument::ParseLine(std::string_view text) {
  if (IsBlank(text) || text.front() == ';' || text.front() == '#') return {LineKind::Kept, "", std::string(text)};
  if (text.front() == '[') {
    std::string_view trimmed = text.substr(0, text.find_last_not_of(" \t") + 1);
    if (trimmed.size() < 2 || trimmed.back() != ']') return {LineKind::Garbled, "", ""};
    return {LineKind::Section, UnescapeText(trimmed.substr(1, trimmed.size() - 2)), ""};
  }
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {LineKind::Garbled, "", ""};
  return {LineKind::Pair, UnescapeText(text.substr(0, equals)), UnescapeText(text.substr(equals + 1))};
}

RegistryDocument RegistryDocument::Parse(std::string_view text) {
  RegistryDocument document;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    document.lines_.push_back(ParseLine(line));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return document;
}

std::optional<std::string> RegistryDocument::Find(std::string_view section, std::string_view key) const {
  std::optional<std::string> found;
  bool inSection = false;
  for (const Line& line : lines_) {
    if (line.kind == LineKind::Section)
      inSection = line.name == section;
    else if (inSection && line.kind == LineKind::Pair && line.name == key)
      found = line.value;
  }
  return found;
}

void RegistryDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  bool inSection = false;
  bool replaced = false;
  std::size_t endOfLastSection = lines_.size();  // index after the last pair or header of that section
  bool sectionSeen = false;
  std::vector<Line> kept;
  kept.reserve(lines_.size() + 2);
  for (Line& line : lines_) {
    if (line.kind == LineKind::Section) inSection = line.name == section;
    if (inSection && line.kind == LineKind::Pair && line.name == key) {
      if (replaced) continue;  // a duplicate: the one kept carries the new value
      line.value = value;
      replaced = true;
    }
    kept.push_back(std::move(line));
    if (inSection && kept.back().kind != LineKind::Kept) {
      sectionSeen = true;
      endOfLastSection = kept.size();
    }
  }
  lines_ = std::move(kept);
  if (replaced) return;
  Line pair{LineKind::Pair, std::string(key), std::string(value)};
  if (sectionSeen) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(endOfLastSection), std::move(pair));
    return;
  }
  if (!lines_.empty()) lines_.push_back({LineKind::Kept, "", ""});  // a blank line between sections
  lines_.push_back({LineKind::Section, std::string(section), ""});
  lines_.push_back(std::move(pair));
}

std::string RegistryDocument::Serialize() const {
  std::string text;
  for (const Line& line : lines_) {
    switch (line.kind) {
      case LineKind::Section: text += "[" + EscapeText(line.name, TextRole::Section) + "]\n"; break;
      case LineKind::Pair:
        text += EscapeText(line.name, TextRole::Key) + "=" + EscapeText(line.value, TextRole::Value) + "\n";
        break;
      case LineKind::Kept: text += line.value + "\n"; break;
      case LineKind::Garbled: break;
    }
  }
  return text;
}

}  // namespace fileio
