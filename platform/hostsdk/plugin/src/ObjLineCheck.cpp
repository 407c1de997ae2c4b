#include "ObjLineCheck.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

bool ParseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && errno != ERANGE;
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

class LineChecker {
public:
  bool Check(const std::string& keyword, std::istringstream& rest, std::string& problem) {
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
        problem = "'" + words[i] + "' is not a number";
        return false;
      }
    }
    ++counted;
    return true;
  }

  bool CheckFace(const std::vector<std::string>& corners, std::string& problem) const {
    if (corners.size() < 3) {
      problem = "a face needs at least three corners";
      return false;
    }
    for (const std::string& corner : corners) {
      std::vector<std::string> parts;
      std::stringstream split(corner);
      for (std::string part; std::getline(split, part, '/');) parts.push_back(part);
      if (parts.empty() || parts.size() > 3) {
        problem = "'" + corner + "' is not a face corner";
        return false;
      }
      const long counts[3] = {positions_, uvs_, normals_};
      const char* names[3] = {"vertex", "texture coordinate", "normal"};
      for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0 && parts[k].empty()) continue;
        long index = 0;
        if (!ParseIndex(parts[k], index)) {
          problem = "'" + corner + "' is not a face corner";
          return false;
        }
        if (!IndexIsValid(index, counts[k])) {
          problem = "face corner '" + corner + "' names " + names[k] + " " + std::to_string(index) + " of " +
                    std::to_string(counts[k]);
          return false;
        }
      }
    }
    return true;
  }

  long positions_ = 0;
  long uvs_ = 0;
  long normals_ = 0;
};

}  // namespace

bool CheckObjLines(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot open " + path;
    return false;
  }
  LineChecker checker;
  std::string line;
  long lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string keyword;
    if (!(words >> keyword) || keyword[0] == '#') continue;
    std::string problem;
    if (!checker.Check(keyword, words, problem)) {
      error = path + " line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  if (in.bad()) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}
