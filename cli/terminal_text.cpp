#include "terminal_text.h"

#include "core/list/text_decode.h"

#include <cstdint>

namespace tavilon {

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

void appendHexByte(std::string& out, unsigned char byte)
{
    out += "\\x";
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 0xF];
}

void appendCodePointEscape(std::string& out, char32_t c)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += HexDigits[(c >> shift) & 0xF];
}

// Characters a terminal acts on or that change the order text is shown in.
bool needsEscape(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F)       // C1 controls (U+009B starts a terminal command)
        || c == 0x061C                    // Arabic letter mark
        || c == 0x200E || c == 0x200F     // left-to-right and right-to-left marks
        || (c >= 0x2028 && c <= 0x202E)   // line and paragraph separators, embeddings, overrides
        || (c >= 0x2066 && c <= 0x2069); // isolates
}

} // namespace

std::string escapedForTerminal(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, c);
        if (length == 0) {
            appendHexByte(out, static_cast<unsigned char>(text[0]));
            text.remove_prefix(1);
            continue;
        }
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\r')
            out += "\\r";
        else if (c < 0x20 || c == 0x7F)
            appendHexByte(out, static_cast<unsigned char>(c));
        else if (needsEscape(c))
            appendCodePointEscape(out, c);
        else
            out.append(text.substr(0, length));
        text.remove_prefix(length);
    }
    return out;
}

} // namespace tavilon
