// fbxinfo FILE...: prints what the FBX library reads from each file, one tab-separated line per file.
#include <cstdio>
#include <cstring>

#include "SceneFacts.h"

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    std::fprintf(argc < 2 ? stderr : stdout,
                 "usage: fbxinfo FILE...\n"
                 "Prints a header line, then per file: version, encoding, the root's children and\n"
                 "the first child's mesh (polygon counts by corner count, UV sets, materials).\n");
    return argc < 2 ? 2 : 0;
  }
  std::printf("%s\n", fbxtools::FactsHeader().c_str());
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    std::string line = fbxtools::FactsLine(argv[i]);
    if (line.find("\terror: ") != std::string::npos) ++failures;
    std::printf("%s\n", line.c_str());
  }
  return failures ? 1 : 0;
}
