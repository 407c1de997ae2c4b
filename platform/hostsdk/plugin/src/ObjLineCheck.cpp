#include "ObjLineCheck.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A decimal number as the OBJ parser reads it: sign, digits, point, exponent.
// Words like "nan", "inf" or "0x10" it would read as something else.
bool IsDecimal(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponent = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++exponent;
    if (exponent == 0) return false;
  }
  return i == text.size();
}

bool ParseNumber(const std::string& text, double& value) {
  if (!IsDecimal(text)) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && std::isfinite(value) && !(errno == ERANGE && std::fabs(value) > 1.0);
}

// The next line as the OBJ parser splits them: at LF, CR LF or a lone CR.
bool NextLine(const std::string& text, std::size_t& at, std::string& line) {
  if (at >= text.size()) return false;
  std::size_t end = text.find_first_of("\r\n", at);
  if (end == std::string::npos) end = text.size();
  line.assign(text, at, end - at);
  at = end;
  if (at < text.size() && text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n' && (at == end || text[at - 1] == '\r')) ++at;
  return true;
}

bool ParseIndex(const std::string& text, long& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text.c_str(), &end, 10);
  return end && *end == '\0' && errno != ERANGE;
}

// An index of a face corner: 1..count, or -1..-count counting back.
bool IndexIsValid(long index, long count) { return (index >= 1 && index <= count) || (index < 0 && -index <= count); }

}  // namespace

std::string EchoedText(const std::string& text) {
  constexpr std::size_t kLongest = 200;
  if (text.size() <= kLongest) return text;
  return text.substr(0, kLongest) + "... (" + std::to_string(text.size()) + " characters)";
}

namespace {

// What stands at path, when it is anything but a regular file or nothing;
// empty otherwise. Links are followed.
std::string NonRegularKind(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error || !fs::exists(status) || fs::is_regular_file(status)) return "";
  if (fs::is_directory(status)) return "a folder";
  if (fs::is_fifo(status)) return "a pipe";
  if (fs::is_character_file(status) || fs::is_block_file(status)) return "a device";
  if (fs::is_socket(status)) return "a socket";
  return "not a regular file";
}

// The files an mtllib statement names, split as the OBJ parser splits them:
// at blanks, a backslash keeping the next character.
std::vector<std::string> MaterialLibraryNames(const std::string& rest) {
  std::vector<std::string> names;
  std::string name;
  bool escaping = false;
  for (char c : rest) {
    if (!escaping && c == '\\') {
      escaping = true;
      continue;
    }
    if (!escaping && c == ' ') {
      if (!name.empty()) names.push_back(name);
      name.clear();
      continue;
    }
    escaping = false;
    name += c;
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

class LineChecker {
public:
  LineChecker(std::vector<std::size_t>& faceCorners, std::string materialFolder)
      : faceCorners_(faceCorners), materialFolder_(std::move(materialFolder)) {}

  bool Check(const std::string& keyword, std::istringstream& rest, std::string& problem) {
    if (keyword == "mtllib") {
      std::string names;
      std::getline(rest, names);
      return CheckMaterialLibraries(names, problem);
    }
    std::vector<std::string> words;
    for (std::string word; rest >> word;) words.push_back(word);
    if (keyword == "v") return CheckNumbers(words, 3, "a vertex needs three numbers", positions_, problem);
    if (keyword == "vt") return CheckNumbers(words, 1, "a texture coordinate needs a number", uvs_, problem);
    if (keyword == "vn") return CheckNumbers(words, 3, "a normal needs three numbers", normals_, problem);
    if (keyword == "f") return CheckFace(words, problem);
    return true;
  }

private:
  static bool CheckNumbers(const std::vector<std::string>& words, std::size_t needed, const char* message,
                           long& counted, std::string& problem) {
    if (words.size() < needed) {
      problem = message;
      return false;
    }
    for (std::size_t i = 0; i < needed; ++i) {
      double value = 0;
      if (!ParseNumber(words[i], value)) {
        problem = "'" + EchoedText(words[i]) + "' is not a finite decimal number";
        return false;
      }
    }
    ++counted;
    return true;
  }

  bool CheckFace(const std::vector<std::string>& corners, std::string& problem) {
    if (corners.size() < 3) {
      problem = "a face needs at least three corners";
      return false;
    }
    for (const std::string& corner : corners) {
      std::vector<std::string> parts;
      std::stringstream split(corner);
      for (std::string part; std::getline(split, part, '/');) parts.push_back(part);
      if (parts.empty() || parts.size() > 3) {
        problem = "'" + EchoedText(corner) + "' is not a face corner";
        return false;
      }
      const long counts[3] = {positions_, uvs_, normals_};
      const char* names[3] = {"vertex", "texture coordinate", "normal"};
      for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0 && parts[k].empty()) continue;
        long index = 0;
        if (!ParseIndex(parts[k], index)) {
          problem = "'" + EchoedText(corner) + "' is not a face corner";
          return false;
        }
        if (!IndexIsValid(index, counts[k])) {
          problem = "face corner '" + EchoedText(corner) + "' names " + names[k] + " " + std::to_string(index) +
                    " of " + std::to_string(counts[k]);
          return false;
        }
      }
    }
    faceCorners_.push_back(corners.size());
    return true;
  }

  // The parser reads a material library as a stream: a device or pipe
  // would block or never end, so the import is refused instead.
  bool CheckMaterialLibraries(const std::string& rest, std::string& problem) const {
    const std::size_t start = rest.find_first_not_of(" \t");
    for (const std::string& name : MaterialLibraryNames(start == std::string::npos ? "" : rest.substr(start))) {
      for (const std::string& path : MaterialLibraryPaths(name)) {
        const std::string kind = NonRegularKind(path);
        if (kind.empty()) continue;
        problem = "the material library '" + EchoedText(name) + "' is " + kind + ", not a regular file";
        return false;
      }
    }
    return true;
  }

  // Where the parser looks for a library: in each ':'-separated part of the
  // OBJ's folder, joined as it joins them; the name alone without a folder.
  std::vector<std::string> MaterialLibraryPaths(const std::string& name) const {
    if (materialFolder_.empty()) return {name};
    std::vector<std::string> paths;
    std::istringstream folders(materialFolder_);
    for (std::string folder; std::getline(folders, folder, ':');)
      paths.push_back(folder.empty() ? name : folder + (folder.back() == '/' ? "" : "/") + name);
    return paths;
  }

  std::vector<std::size_t>& faceCorners_;
  std::string materialFolder_;
  long positions_ = 0;
  long uvs_ = 0;
  long normals_ = 0;
};

}  // namespace

bool CheckObjLines(const std::string& path, std::string& error, std::vector<std::size_t>& faceCorners) {
  faceCorners.clear();
  // Only a regular file is read: a folder reads as empty, a device or pipe
  // could block or never end.
  if (const std::string kind = NonRegularKind(path); !kind.empty()) {
    error = path + ": it is " + kind + ", not an OBJ file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad()) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::string text = contents.str();
  LineChecker checker(faceCorners, fs::path(path).parent_path().string());
  std::string line;
  long lineNumber = 0;
  for (std::size_t at = 0; NextLine(text, at, line);) {
    ++lineNumber;
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword) || keyword[0] == '#') continue;
    std::string problem;
    if (!checker.Check(keyword, words, problem)) {
      error = path + " line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  return true;
}
