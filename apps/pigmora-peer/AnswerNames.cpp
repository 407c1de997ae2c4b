#include "AnswerNames.h"

#include <cinttypes>
#include <cstdio>
#include <unordered_set>

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

// Letter case aside, as the receive compares material names.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return folded;
}

// Cuts to at most `limit` bytes without splitting a UTF-8 sequence.
void Cut(std::string& text, std::size_t limit) {
  if (text.size() <= limit) return;
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  text.resize(end);
}

std::string OneLine(const std::string& name, std::size_t limit) {
  std::string line;
  for (char c : name) line += IsControl(c) ? '_' : c;
  for (std::size_t at = line.find("&quot;"); at != std::string::npos; at = line.find("&quot;", at)) line[at] = '_';
  Cut(line, limit);
  while (!line.empty() && IsBlank(line.back())) line.pop_back();
  return line.empty() ? "Material" : line;
}

std::uint64_t Hash(const std::string& text) {
  std::uint64_t hash = UINT64_C(1469598103934665603);  // FNV-1a
  for (unsigned char c : text) hash = (hash ^ c) * UINT64_C(1099511628211);
  return hash;
}

}  // namespace

bool IsOneLineName(const std::string& name) {
  if (name.empty() || name.size() > kMaxAnswerLine || IsBlank(name.back())) return false;
  for (char c : name)
    if (IsControl(c)) return false;
  return name.find("&quot;") == std::string::npos;
}

std::vector<std::string> AnswerMaterialNames(const std::vector<std::string>& names) {
  std::vector<std::string> result(names.size());
  std::unordered_set<std::string> taken;
  // Names that can stay keep them, the first of several alike included, so a
  // made name never pushes a good one aside.
  for (std::size_t m = 0; m < names.size(); ++m)
    if (IsOneLineName(names[m]) && taken.insert(Folded(names[m])).second) result[m] = names[m];
  for (std::size_t m = 0; m < names.size(); ++m) {
    if (!result[m].empty()) continue;
    std::string name = OneLine(names[m], kMaxAnswerLine);
    for (int attempt = 0; !taken.insert(Folded(name)).second; ++attempt) {
      std::string suffix = " " + std::to_string(m + 1);
      if (attempt > 0) suffix += "." + std::to_string(attempt);
      name = OneLine(names[m], kMaxAnswerLine - suffix.size()) + suffix;
    }
    result[m] = name;
  }
  return result;
}

std::string FileNamePart(const std::string& text, std::size_t limit, const std::string& fallback, bool distinct) {
  std::string part;
  for (char c : text) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                       c == '_' || (c == '.' && !part.empty());
    part += plain ? c : '_';
  }
  while (!part.empty() && part.back() == '.') part.back() = '_';  // no "name." that some systems drop
  Cut(part, limit);
  if (part.empty()) part = fallback;
  if (distinct && part != text) {
    char hash[24];
    std::snprintf(hash, sizeof hash, "-%012" PRIx64, static_cast<std::uint64_t>(Hash(text) & 0xFFFFFFFFFFFFu));
    part += hash;
  }
  return part;
}
