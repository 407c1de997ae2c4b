#include "ScriptParser.h"

bool ParseScript(const std::string& text, const std::string& sourceName, std::vector<ScriptCommand>& commands,
                 std::string& error) {
  const bool fromFile = !sourceName.empty();
  int line = 1;
  int commandLine = 1;
  ScriptCommand current;
  std::string word;
  bool inWord = false;
  bool inQuotes = false;
  int quoteLine = 1;  // where the open quote stands
  bool inComment = false;

  auto locationOf = [&](int atLine) {
    return fromFile ? sourceName + ":" + std::to_string(atLine) : "command " + std::to_string(commands.size() + 1);
  };
  auto endWord = [&] {
    if (inWord) current.words.push_back(word);
    word.clear();
    inWord = false;
  };
  auto endCommand = [&] {
    endWord();
    if (!current.words.empty()) {
      current.location = locationOf(commandLine);
      commands.push_back(current);
    }
    current = ScriptCommand();
  };

  for (char c : text) {
    if (inComment) {
      if (c != '\n') continue;
      inComment = false;
    }
    if (inQuotes) {
      if (c == '"') {
        inQuotes = false;
      } else {
        if (c == '\n') ++line;
        word += c;
      }
      continue;
    }
    if (current.words.empty() && !inWord) commandLine = line;
    switch (c) {
      case '"':
        inQuotes = true;
        quoteLine = line;
        inWord = true;
        break;
      case '#':
        endWord();
        inComment = true;
        break;
      case ';': endCommand(); break;
      case '\n':
        endCommand();
        ++line;
        break;
      case ' ':
      case '\t':
      case '\r': endWord(); break;
      default:
        word += c;
        inWord = true;
        break;
    }
  }
  if (inQuotes) {
    error = locationOf(quoteLine) + ": a double quote opened here is not closed";
    return false;
  }
  endCommand();
  return true;
}
