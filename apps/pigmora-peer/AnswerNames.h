#pragma once

#include <string>
#include <vector>

// The receive reads "textures.txt" as lines of at most this many characters
// per image path and per material name.
constexpr std::size_t kMaxAnswerLine = 255;

// True when a name can be a line of "textures.txt" and come back unchanged:
// not empty, at most kMaxAnswerLine bytes, no control character (a line break
// would shift every later group), no trailing blank (the receive trims it),
// and nothing the ASCII FBX writer escapes ("&quot;").
bool IsOneLineName(const std::string& name);

// The material names the answer writes, in the node's order, both into its FBX
// file and into "textures.txt": each name kept when it is a one-line name that
// no other material spells alike (the receive ignores letter case), else made
// one (control characters become '_', trailing blanks go, a long name is cut)
// and told apart by the material's position.
std::vector<std::string> AnswerMaterialNames(const std::vector<std::string>& names);

// A part of a file name for any text: letters, digits, '-', '_' and inner dots
// kept, everything else '_', at most `limit` bytes, `fallback` when nothing is
// left. With `distinct`, a part that differs from the text gets a hash of the
// whole text, so that two texts never share a part.
std::string FileNamePart(const std::string& text, std::size_t limit, const std::string& fallback, bool distinct);
