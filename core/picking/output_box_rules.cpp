#include "output_box_rules.h"

#include "selection.h"
#include "core/errors/core_errors.h"
#include "core/list/picked_words.h"

#include <cstdio>
#include <string>

namespace tavilon {

namespace {

std::string codePointName(char32_t c)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

} // namespace

std::size_t utf16Length(std::string_view utf8)
{
    std::size_t units = 0;
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c & 0xC0) != 0x80)
            ++units; // a character starts here
        if (c >= 0xF0)
            ++units; // beyond U+FFFF: two code units
    }
    return units;
}

std::optional<char32_t> paragraphBreakIn(std::string_view utf8)
{
    // U+2029 is E2 80 A9; U+FDD0 and U+FDD1 are EF B7 90 and EF B7 91.
    for (std::size_t i = 0; i + 2 < utf8.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
        const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
        if (b0 == 0xE2 && b1 == 0x80 && b2 == 0xA9)
            return U'\u2029';
        if (b0 == 0xEF && b1 == 0xB7 && (b2 == 0x90 || b2 == 0x91))
            return static_cast<char32_t>(0xFDD0 + (b2 - 0x90));
    }
    return std::nullopt;
}

Outcome<void> checkOutputRoom(std::uint64_t linesInBox, std::uint64_t picks)
{
    if (linesInBox + picks <= MaxOutputLines)
        return {};
    const char* lines = TAVILON_COUNTED("CoreError", "%n line(s)");
    const char* picked = TAVILON_COUNTED("CoreError", "%n pick(s)");
    CoreError error = sentenceError(ErrorCode::OutputFull,
                                    TAVILON_SENTENCE("CoreError", "The output holds %1 and can hold at most %2, so %3 "
                                                                  "would pass that.\n\nSave the output and clear it "
                                                                  "first; nothing was picked."),
                                    {countedText(lines, linesInBox), std::to_string(MaxOutputLines),
                                     countedText(picked, picks)});
    error.counted = {{0, lines, linesInBox}, {2, picked, picks}};
    return error;
}

Outcome<void> checkWordsFitBox(const PickedWords& picked)
{
    // Each distinct word is looked through once, not once per pick; a
    // character cannot run from one word into the next.
    if (const auto c = paragraphBreakIn(picked.storedText()))
        return sentenceError(ErrorCode::WordNotForBox,
                             TAVILON_SENTENCE("CoreError", "A picked word holds the character %1, which the output box "
                                                           "cannot show inside one line. Is this file really a word list?"),
                             {codePointName(*c)});
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const std::string_view word = picked.word(i);
        if (word.size() > MaxWordLength) { // at least as many bytes as code units
            const std::size_t length = utf16Length(word);
            if (length > MaxWordLength)
                return sentenceError(ErrorCode::WordTooLong,
                                     TAVILON_SENTENCE("CoreError", "A picked word is %1 characters long, and the output "
                                                                   "box takes words of at most %2 characters. Is this "
                                                                   "file really a word list?"),
                                     {std::to_string(length), std::to_string(MaxWordLength)});
        }
    }
    return {};
}

} // namespace tavilon
