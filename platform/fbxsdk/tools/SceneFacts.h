// The facts fbxinfo prints about a file: one tab-separated line per file.
#pragma once

#include <string>
#include <vector>

namespace fbxtools {

// Column names, tab-separated, without a line end.
std::string FactsHeader();
// The facts of one file as the library reads it; a file it cannot read gets its error
// in place of the facts. The file name column holds the name without its folder. When warnings
// is given, what the reader skipped is added to it.
std::string FactsLine(const char* path, std::vector<std::string>* warnings = nullptr);

}  // namespace fbxtools
