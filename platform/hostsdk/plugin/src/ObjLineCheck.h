#pragma once

#include <string>

// Checks an OBJ file's statements before it is imported, so that a broken
// file is refused with the line at fault and the project stays unchanged:
// vertices need three numbers, faces three or more corners whose position and
// UV indices (1-based or negative, relative) name existing entries.
// False with a message "PATH line N: ..." in error.
bool CheckObjLines(const std::string& path, std::string& error);
