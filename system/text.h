#pragma once
// Text tests that ignore the case of the letters A to Z only; every other character compares
// as it is.

#include <string>
#include <string_view>
#include <vector>

namespace sys {

char UpperAscii(char c);
std::string UpperAscii(std::string_view text);
bool SameText(std::string_view a, std::string_view b);

bool StartsWithText(std::string_view text, std::string_view prefix, bool ignoreCase);
bool EndsWithText(std::string_view text, std::string_view suffix, bool ignoreCase);
// Index of the first element equal to the text without regard to case; -1 when none is.
int IndexOfText(std::string_view text, const std::vector<std::string>& texts);

// Without the characters of code 32 or below at both ends.
std::string Trim(std::string_view text);

}  // namespace sys
