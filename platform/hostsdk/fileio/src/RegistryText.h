#pragma once

#include <optional>
#include <string>
#include <string_view>

// How names and values are spelled in the registry file. A value is written as
// typed when it reads back exactly so; otherwise it is quoted, and only inside
// quotes are escapes undone, so a hand-typed value like C:\new\x41 reads as
// typed. A line break in a value or name is always escaped, so nothing written
// can start a line of its own and inject a key or a section.
namespace fileio {

enum class TextRole { Section, Key, Value };

// Names (sections and keys) are escaped where a character would end or
// re-split the field or be trimmed away as a surrounding blank.
std::string EscapeText(std::string_view text, TextRole role);
// Undoes EscapeText; an unknown or cut-off escape is kept as written.
std::string UnescapeText(std::string_view text);

// A value as it stands in the file after '=': plain, or quoted with escapes.
std::string EncodeValue(std::string_view value);

// Where a value sits in the text after '=' and what it reads as: blanks
// around it and a trailing "; comment" (after a blank) are not part of it.
struct ValueSpan {
  std::size_t begin = 0;  // of the value's spelling, quotes included
  std::size_t end = 0;
  std::string value;
};
ValueSpan ReadValue(std::string_view afterEquals);

bool SameName(std::string_view a, std::string_view b);  // without regard to ASCII letter case
std::string_view TrimBlanks(std::string_view text);

std::string FormatInteger(long long value);
std::string FormatReal(double value);  // shortest form that reads back exactly
// Blanks around the number are tolerated; anything else makes it garbled.
std::optional<long long> ParseInteger(std::string_view text);
std::optional<double> ParseReal(std::string_view text);

}  // namespace fileio
