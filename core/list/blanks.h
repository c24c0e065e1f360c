#pragma once

#include <string_view>

namespace tavilon {

// The blanks that surround a word or a number: spaces and tabs.
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// `text` without its leading and trailing blanks.
constexpr std::string_view trimBlanks(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace tavilon
