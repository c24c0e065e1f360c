#pragma once

#include "core/errors/outcome.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavilon {

// What the arguments of `tavilon-pick` ask for.
struct CommandLine {
    enum class Action { Help, Version, Count, Pick };
    Action action = Action::Help;
    std::uint64_t picks = 1;           // -n NUMBER, by the number box's rule; only for Pick
    std::optional<std::string> file;   // the list; none for standard input ("-" or no FILE)
    std::optional<std::string> output; // -o OUTPUT; none for standard output ("-o -" or no -o)
    std::optional<std::string> randomSource; // --random-source=FILE ("-": standard input); only for Pick
    bool unique = false;                      // -u: no word twice; only for Pick
    bool zeroTerminated = false;              // -z: words end at NUL, and picks are written so
};

// Reads the arguments (without the program's name). Options may come before
// or after the command and FILE: -n NUMBER, -nNUMBER, --number=NUMBER and
// --number NUMBER are one option, as are -o OUTPUT, -oOUTPUT, --output=OUTPUT
// and --output OUTPUT, and --random-source=FILE and --random-source FILE;
// -u, --unique, -z and --zero-terminated take no value. A long option may be shortened to any unambiguous
// start ("--num=5"). "--" ends the options. --help (-h) and --version act
// where they stand: the first of them, or the first error, decides. An
// error is WrongUsage, its message saying what is wrong in a few words.
Outcome<CommandLine> parseCommandLine(const std::vector<std::string>& args);

} // namespace tavilon
