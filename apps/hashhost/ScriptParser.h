#pragma once

#include <string>
#include <vector>

// One command of a hashhost script: its words and where it stands.
struct ScriptCommand {
  std::vector<std::string> words;
  std::string location;  // "FILE:LINE" or "command N"
};

// Splits a script into commands: ';' and line ends separate commands, '#'
// starts a comment, double quotes keep blanks and separators inside a word.
// Returns false and describes the problem when a quote is left open.
bool ParseScript(const std::string& text, const std::string& sourceName, std::vector<ScriptCommand>& commands,
                 std::string& error);
