#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Checks an OBJ file's statements before it is imported, so that a broken
// file is refused with the line at fault and the project stays unchanged:
// vertices need three finite decimal numbers, faces three or more corners
// whose position and UV indices (1-based or negative, relative) name existing
// entries. Lines end at LF, CR LF or a lone CR, as the OBJ parser splits them.
// False with a message "PATH line N: ..." in error. faceCorners receives the
// corner count of every face in file order (the parser keeps only the count
// modulo 256).
bool CheckObjLines(const std::string& path, std::string& error, std::vector<std::size_t>& faceCorners);

// Input echoed in a message, cut to a readable length.
std::string EchoedText(const std::string& text);
