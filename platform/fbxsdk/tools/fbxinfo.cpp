// fbxinfo [--warnings] FILE...: prints what the FBX library reads from each file, one tab-separated
// line per file; with --warnings, what the reader skipped in each file follows on standard error.
#include <cstdio>
#include <cstring>

#include "SceneFacts.h"

int main(int argc, char** argv) {
  int first = 1;
  bool showWarnings = argc > 1 && std::strcmp(argv[1], "--warnings") == 0;
  if (showWarnings) ++first;
  if (argc <= first || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    bool asked = argc > 1 && !showWarnings;
    std::fprintf(asked ? stdout : stderr,
                 "usage: fbxinfo [--warnings] FILE...\n"
                 "Prints a header line, then per file: version, encoding, the root's children and\n"
                 "the first child's mesh (polygon counts by corner count, UV sets, materials).\n"
                 "--warnings also lists, on standard error, what the reader skipped and where.\n");
    return asked ? 0 : 2;
  }
  std::printf("%s\n", fbxtools::FactsHeader().c_str());
  int failures = 0;
  for (int i = first; i < argc; ++i) {
    std::vector<std::string> warnings;
    std::string line = fbxtools::FactsLine(argv[i], showWarnings ? &warnings : nullptr);
    if (line.find("\terror: ") != std::string::npos) ++failures;
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    for (const std::string& warning : warnings) std::fprintf(stderr, "%s: warning: %s\n", argv[i], warning.c_str());
  }
  return failures ? 1 : 0;
}
