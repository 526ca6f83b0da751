#include "system/text.h"

#include <algorithm>

namespace sys {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](char c) { return UpperAscii(c); });
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

bool StartsWithText(std::string_view text, std::string_view prefix, bool ignoreCase) {
    if (text.size() < prefix.size()) return false;
    const auto head = text.substr(0, prefix.size());
    return ignoreCase ? SameText(head, prefix) : head == prefix;
}

bool EndsWithText(std::string_view text, std::string_view suffix, bool ignoreCase) {
    if (text.size() < suffix.size()) return false;
    const auto tail = text.substr(text.size() - suffix.size());
    return ignoreCase ? SameText(tail, suffix) : tail == suffix;
}

int IndexOfText(std::string_view text, const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (SameText(text, texts[i])) return static_cast<int>(i);
    return -1;
}

std::string Trim(std::string_view text) {
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first])) ++first;
    while (last > first && isBlank(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

}  // namespace sys
