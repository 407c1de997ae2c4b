#include "CommandFile.h"

#include <cstdlib>
#include <fstream>

namespace {

void TrimRight(std::string& line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
}

}  // namespace

int CommandFile::Number(const std::string& key, int fallback) const {
  auto found = options.find(key);
  if (found == options.end() || found->second.empty()) return fallback;
  char* end = nullptr;
  long value = std::strtol(found->second.c_str(), &end, 10);
  return *end == '\0' ? static_cast<int>(value) : fallback;
}

std::string CommandFile::Text(const std::string& key, const std::string& fallback) const {
  auto found = options.find(key);
  return found == options.end() ? fallback : found->second;
}

bool ReadCommandFile(const std::string& path, CommandFile& command, std::string& problem) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    problem = "cannot read the command file " + path;
    return false;
  }
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    TrimRight(line);
    ++number;
    if (number == 1) {
      command.modelPath = line;
      continue;
    }
    if (number == 2 || line.size() < 2 || line.front() != '[' || line.back() != ']') continue;
    const std::string inner = line.substr(1, line.size() - 2);
    const auto equals = inner.find('=');
    if (equals == std::string::npos) {
      if (command.mode.empty()) command.mode = inner;
    } else {
      command.options[inner.substr(0, equals)] = inner.substr(equals + 1);
    }
  }
  if (command.modelPath.empty()) {
    problem = "the command file " + path + " names no model file";
    return false;
  }
  if (command.mode.empty()) {
    problem = "the command file " + path + " names no mode";
    return false;
  }
  return true;
}
