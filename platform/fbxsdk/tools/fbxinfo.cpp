// fbxinfo: prints what the FBX library reads from each file.
#include <common/HugePages.h>
#include <common/ToolOptions.h>

#include <cstdio>
#include <string>
#include <vector>

#include "SceneFacts.h"

namespace {

const common::ToolHelp kHelp = {
    "fbxinfo",
    "Usage: fbxinfo [--json] [--warnings] [--] FILE...\n"
    "\n"
    "Prints what the FBX library reads from each FBX file (ASCII or binary, versions 6100 to 7700):\n"
    "its version and encoding, the root's children, and the first child's mesh: control points,\n"
    "polygons by corner count, polygon vertices, UV sets and the node's materials. By default a\n"
    "header line comes first, then one tab-separated line per file, in the columns of the shared\n"
    "FBX corpus's expected.tsv; a file that cannot be read gets \"error: REASON\" in place of its facts.\n"
    "\n"
    "Options:\n"
    "  --json       print one JSON object per line and file instead, with the same keys as the\n"
    "               columns; names keep tabs and line ends (escaped) and an unreadable file has an\n"
    "               \"error\" key\n"
    "  --warnings   list on standard error what the reader skipped in each file, and where\n"
    "  -h, --help   print this help and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Exit status:\n"
    "  0 when every file was read, 1 when a file could not be read, 2 for wrong arguments.\n"};

}  // namespace

int main(int argc, char** argv) {
  RestartWithHugePages(argv);  // a file of many objects fills hundreds of megabytes
  bool json = false, showWarnings = false, optionsEnd = false;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsEnd || arg.empty() || arg[0] != '-') {
      files.push_back(argv[i]);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--json") {
      json = true;
    } else if (arg == "--warnings") {
      showWarnings = true;
    } else if (common::AnswerStandardOption(kHelp, arg)) {
      return common::kToolStatusDone;
    } else {
      return common::RefuseArguments(kHelp, "unknown option '" + arg + "'");
    }
  }
  if (files.empty()) return common::RefuseArguments(kHelp, "no FBX file given");

  if (!json) std::printf("%s\n", fbxtools::FactsHeader().c_str());
  int failures = 0;
  for (const char* path : files) {
    const fbxtools::FileFacts facts = fbxtools::ReadFacts(path);
    if (!facts.error.empty()) ++failures;
    std::printf("%s\n", (json ? fbxtools::FactsJson(facts) : fbxtools::FactsLine(facts)).c_str());
    std::fflush(stdout);
    for (const std::string& warning : facts.warnings)
      if (showWarnings) std::fprintf(stderr, "%s: warning: %s\n", path, warning.c_str());
  }
  return failures ? 1 : 0;
}
