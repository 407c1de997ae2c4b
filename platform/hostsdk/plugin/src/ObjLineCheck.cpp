#include "ObjLineCheck.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A decimal number as the OBJ parser reads it: sign, digits, point, exponent.
// Words like "nan", "inf" or "0x10" it would read as something else.
bool IsDecimal(std::string_view text) {
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

// A finite decimal; a value too large for a double is not, one too small to tell from zero is.
bool ParseNumber(std::string_view text, double& value) {
  if (!IsDecimal(text)) return false;
  if (text.front() == '+') text.remove_prefix(1);
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  if (parsed.ec == std::errc::result_out_of_range) {
    // Out of range either way: the C library tells overflow from underflow.
    const std::string copy(text);
    errno = 0;
    value = std::strtod(copy.c_str(), nullptr);
    return std::isfinite(value) && !(errno == ERANGE && std::fabs(value) > 1.0);
  }
  return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size() && std::isfinite(value);
}

// The next line as the OBJ parser splits them: at LF, CR LF or a lone CR.
bool NextLine(std::string_view text, std::size_t& at, std::string_view& line) {
  if (at >= text.size()) return false;
  std::size_t end = text.find_first_of("\r\n", at);
  if (end == std::string_view::npos) end = text.size();
  line = text.substr(at, end - at);
  at = end;
  if (at < text.size() && text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n' && (at == end || text[at - 1] == '\r')) ++at;
  return true;
}

// A whole decimal integer, optionally signed, that fits a long.
bool ParseIndex(std::string_view text, long& value) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  if (text.empty()) return false;
  const auto parsed = std::from_chars(text.data(), text.data() + text.size(), value);
  return parsed.ec == std::errc() && parsed.ptr == text.data() + text.size();
}

// The words of a line, split at blanks as a stream reads them.
class Words {
public:
  explicit Words(std::string_view line) : rest_(line) {}
  bool Next(std::string_view& word) {
    std::size_t start = 0;
    while (start < rest_.size() && IsBlank(rest_[start])) ++start;
    if (start == rest_.size()) return false;
    std::size_t end = start;
    while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
    word = rest_.substr(start, end - start);
    rest_.remove_prefix(end);
    return true;
  }
  std::string_view Rest() const { return rest_; }

private:
  static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
  std::string_view rest_;
};

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

  bool Check(std::string_view keyword, std::string_view rest, std::string& problem) {
    if (keyword == "mtllib") return CheckMaterialLibraries(std::string(rest), problem);
    if (keyword == "v") return CheckNumbers(rest, 3, "a vertex needs three numbers", positions_, problem);
    if (keyword == "vt") return CheckNumbers(rest, 1, "a texture coordinate needs a number", uvs_, problem);
    if (keyword == "vn") return CheckNumbers(rest, 3, "a normal needs three numbers", normals_, problem);
    if (keyword == "f") return CheckFace(rest, problem);
    return true;
  }

private:
  static bool CheckNumbers(std::string_view rest, std::size_t needed, const char* message, long& counted,
                           std::string& problem) {
    std::string_view numbers[3];
    Words words(rest);
    for (std::size_t i = 0; i < needed; ++i) {
      if (!words.Next(numbers[i])) {
        problem = message;
        return false;
      }
    }
    for (std::size_t i = 0; i < needed; ++i) {
      double value = 0;
      if (!ParseNumber(numbers[i], value)) {
        problem = "'" + EchoedText(std::string(numbers[i])) + "' is not a finite decimal number";
        return false;
      }
    }
    ++counted;
    return true;
  }

  // A corner's indices split at '/', as a stream reading up to each '/' splits them: a
  // trailing '/' adds no empty part. False for more than three parts.
  static bool SplitCorner(std::string_view corner, std::string_view (&parts)[3], std::size_t& count) {
    count = 0;
    std::size_t start = 0;
    while (start < corner.size()) {
      std::size_t slash = corner.find('/', start);
      if (slash == std::string_view::npos) slash = corner.size();
      if (count == 3) return false;
      parts[count++] = corner.substr(start, slash - start);
      start = slash + 1;
    }
    return count > 0;
  }

  bool CheckFace(std::string_view rest, std::string& problem) {
    std::size_t cornerCount = 0;
    std::string_view corner;
    for (Words words(rest); words.Next(corner);) ++cornerCount;
    if (cornerCount < 3) {
      problem = "a face needs at least three corners";
      return false;
    }
    const long counts[3] = {positions_, uvs_, normals_};
    const char* names[3] = {"vertex", "texture coordinate", "normal"};
    for (Words words(rest); words.Next(corner);) {
      std::string_view parts[3];
      std::size_t partCount = 0;
      if (!SplitCorner(corner, parts, partCount)) {
        problem = "'" + EchoedText(std::string(corner)) + "' is not a face corner";
        return false;
      }
      for (std::size_t k = 0; k < partCount; ++k) {
        if (k > 0 && parts[k].empty()) continue;
        long index = 0;
        if (!ParseIndex(parts[k], index)) {
          problem = "'" + EchoedText(std::string(corner)) + "' is not a face corner";
          return false;
        }
        if (!IndexIsValid(index, counts[k])) {
          problem = "face corner '" + EchoedText(std::string(corner)) + "' names " + names[k] + " " +
                    std::to_string(index) + " of " + std::to_string(counts[k]);
          return false;
        }
      }
    }
    faceCorners_.push_back(cornerCount);
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
  std::string text;
  std::vector<char> buffer(std::size_t(1) << 20);
  while (in.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0)
    text.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
  if (in.bad()) {
    error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  LineChecker checker(faceCorners, fs::path(path).parent_path().string());
  std::string_view line;
  long lineNumber = 0;
  for (std::size_t at = 0; NextLine(text, at, line);) {
    ++lineNumber;
    Words words(line);
    std::string_view keyword;
    if (!words.Next(keyword) || keyword[0] == '#') continue;
    std::string problem;
    if (!checker.Check(keyword, words.Rest(), problem)) {
      error = path + " line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  return true;
}
