#include "common/OsFiles.h"

#include "afxfilter.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == separator) {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  parts.push_back(part);
  return parts;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::vector<AfxFileFilter> AfxParseFileFilter(const std::string& filter) {
  std::vector<AfxFileFilter> filters;
  const std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() && parts[i + 1].empty()) break;  // the "||" that ends the list
    AfxFileFilter entry;
    entry.description = parts[i];
    for (const std::string& pattern : Split(parts[i + 1], ';'))
      if (!Trimmed(pattern).empty()) entry.patterns.push_back(Trimmed(pattern));
    filters.push_back(entry);
  }
  return filters;
}

bool AfxFileMatchesFilter(const std::string& path, const AfxFileFilter& filter) {
  const std::size_t slash = path.find_last_of(os::kPathSeparators);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  for (const std::string& pattern : filter.patterns) {
    if (os::MatchesPattern(name, pattern)) return true;
    if (pattern == "*.exe" && os::IsExecutableFile(path)) return true;
  }
  return false;
}
