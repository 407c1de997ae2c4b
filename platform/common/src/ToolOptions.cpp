#include "common/ToolOptions.h"

#include <cstdio>
#include <cstring>

#include "common/ProjectVersion.h"

namespace common {

std::string VersionLine(const char* program) {
  return std::string(program) + " (" PIGMORA_PROJECT_NAME ") " PIGMORA_PROJECT_VERSION;
}

bool AnswerStandardOption(const ToolHelp& help, const std::string& arg) {
  if (arg == "-h" || arg == "--help") {
    std::fputs(help.text, stdout);
  } else if (arg == "--version") {
    std::printf("%s\n", VersionLine(help.program).c_str());
  } else {
    return false;
  }
  std::fflush(stdout);
  return true;
}

int RefuseArguments(const ToolHelp& help, const std::string& problem) {
  // Only the usage lines: the whole text is one --help away.
  const char* text = help.text;
  const char* end = std::strstr(text, "\n\n");
  std::fprintf(stderr, "%s: %s\n%.*s\nTry '%s --help' for more.\n", help.program, problem.c_str(),
               static_cast<int>(end ? end - text : std::strlen(text)), text, help.program);
  return kToolStatusUsage;
}

}  // namespace common
