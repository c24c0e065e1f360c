#pragma once

#include <cstddef>
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

// Just past the last line end (CR or LF) in [p, p + n), or 0 when there is none.
inline std::size_t pastLastLineEnd(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = n; i > 0; --i) {
        if (p[i - 1] == '\n' || p[i - 1] == '\r')
            return i;
    }
    return 0;
}

} // namespace tavilon
