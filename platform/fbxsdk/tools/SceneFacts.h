// The facts fbxinfo prints about a file, and their two forms: one tab-separated line per file
// (the columns of the shared corpus's expected.tsv) or one JSON object per line.
#pragma once

#include <string>
#include <vector>

namespace fbxtools {

struct FileFacts {
  std::string file;   // the name without its folder
  std::string error;  // why the file cannot be read; the facts below are then unset
  int version = 0;
  bool binary = false;
  std::vector<std::string> rootChildren;
  std::string firstChild;
  bool firstChildHasMesh = false;
  // Counts of the first child's mesh (all zero without a mesh).
  int controlPoints = 0, polygons = 0, triangles = 0, quads = 0, ngons = 0, degenerate = 0, polygonVertices = 0;
  std::vector<std::string> uvSets;
  std::vector<std::string> nodeMaterials;
  std::vector<std::string> warnings;  // what the reader skipped, and where
};

// Reads a file with the library.
FileFacts ReadFacts(const char* path);

// Column names, tab-separated, without a line end.
std::string FactsHeader();
// The facts as one tab-separated line without a line end; tabs and line ends inside names become
// blanks, and an unreadable file gets "error: REASON" in place of the facts.
std::string FactsLine(const FileFacts& facts);
// The facts as one JSON object on one line, keys named as the columns; names keep every character.
std::string FactsJson(const FileFacts& facts);

}  // namespace fbxtools
