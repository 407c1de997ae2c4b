#pragma once

#include <map>
#include <string>

// Pigmora's command file "import.txt" as the host writes it: the model file's
// path (twice), the mode keyword in brackets, then "[Key=Value]" option lines.
struct CommandFile {
  std::string modelPath;
  std::string mode;
  std::map<std::string, std::string> options;

  // The option's value as a number; fallback when absent or not a number.
  int Number(const std::string& key, int fallback) const;
  // The option's text; fallback when absent.
  std::string Text(const std::string& key, const std::string& fallback) const;
};

// Reads the command file; false with the reason when it cannot be used.
bool ReadCommandFile(const std::string& path, CommandFile& command, std::string& problem);
