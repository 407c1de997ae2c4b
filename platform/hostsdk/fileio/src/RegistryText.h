#pragma once

#include <optional>
#include <string>
#include <string_view>

// How names and values are spelled in the registry file. A line break in a
// value is stored as an escape, so no value can start a line of its own and
// inject a key or a section.
namespace fileio {

enum class TextRole { Section, Key, Value };

std::string EscapeText(std::string_view text, TextRole role);
// Undoes EscapeText; an unknown or cut-off escape is kept as written, so a
// hand-edited Windows path like C:\Tools survives.
std::string UnescapeText(std::string_view text);

std::string FormatInteger(long long value);
std::string FormatReal(double value);  // shortest form that reads back exactly
// Blanks around the number are tolerated; anything else makes it garbled.
std::optional<long long> ParseInteger(std::string_view text);
std::optional<double> ParseReal(std::string_view text);

}  // namespace fileio
