// The command-line manners every program of the project shares: --help and --version answer
// on standard output with status 0; wrong arguments are named on standard error with status 2.
// The help text is also the source of the manual pages (help2man reads it), so it follows the
// usual layout: "Usage:" lines, a description, then an "Options:" list.
#pragma once

#include <string>

namespace common {

struct ToolHelp {
  const char* program;  // the program's file name
  const char* text;     // the whole --help text, beginning with its "Usage:" line(s)
};

// Status of a command line that only asked for help or the version.
constexpr int kToolStatusDone = 0;
// Status of a command line with wrong arguments.
constexpr int kToolStatusUsage = 2;

// True when `arg` is -h, --help or --version; the answer is then printed on standard output.
bool AnswerStandardOption(const ToolHelp& help, const std::string& arg);

// Names the problem and the usage on standard error; returns kToolStatusUsage.
int RefuseArguments(const ToolHelp& help, const std::string& problem);

// "PROGRAM (Pigmora applink) VERSION".
std::string VersionLine(const char* program);

}  // namespace common
