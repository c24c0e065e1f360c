#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavilon {

// The length of the well-formed UTF-8 sequence that starts `bytes` (1 to 4),
// with its code point in `codePoint`; 0 where the bytes are not one
// (overlong forms, surrogates and cut-off sequences included).
std::size_t decodeUtf8(std::string_view bytes, char32_t& codePoint);

bool isValidUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8 (the five unassigned bytes map to the C1
// controls of the same value, as Windows does).
std::string windows1252ToUtf8(std::string_view bytes);

// A word as read from a list without a UTF-16 mark: kept where it is valid
// UTF-8, else taken as Windows-1252.
std::string wordToUtf8(std::string_view bytes);

void appendUtf8(std::string& out, char32_t codePoint);

} // namespace tavilon
