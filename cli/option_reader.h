#pragma once

#include "core/errors/outcome.h"

#include <getopt.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavilon {

// What getopt_long gives for --version, which has no short form.
constexpr int VersionOption = 'V' + 0x100;

// A usage error: `what` says what is wrong in a few words.
CoreError wrongUsage(std::string what);
// "unknown option "ARG"".
CoreError unknownOption(std::string_view arg);

// One option or operand, as getopt_long found it.
struct FoundOption {
    int code;             // getopt_long's answer: the option's value, 1 for an operand, '?' or ':'
    std::string_view arg; // the whole argument it was found in ("-uzn3", "--num=5")
    const char* value;    // the option's value, or the operand; null when none
    int refused;          // for '?' and ':', the option getopt_long refused (0: none it knows)
};

// A program's arguments read one at a time by getopt_long, whose own
// messages are off: a writable copy of them led by the program's name, read
// from the start whatever an earlier reader left. getopt_long keeps its
// place in globals: one reader at a time, and it stays where it was made.
class OptionReader {
public:
    OptionReader(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                 const option* longOptions);
    OptionReader(const OptionReader&) = delete;
    OptionReader& operator=(const OptionReader&) = delete;

    // The next option or operand; none once the options end.
    std::optional<FoundOption> next();
    // What is left once the options end: after "--", everything is an operand.
    std::vector<std::string> rest() const;

private:
    std::vector<std::string> strings_;
    std::vector<char*> argv_;
    const char* shortOptions_;
    const option* longOptions_;
};

} // namespace tavilon
