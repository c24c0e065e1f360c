#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tavilon {

// What a command reads besides its arguments, and steps a test can put
// between the parts of a command.
struct PickCommandHooks {
    // Runs in `pick` after the list is counted and before its words are read.
    std::function<void()> afterCount;
    // The descriptor read when FILE is "-" or missing.
    int standardInput = 0;
    // The descriptors behind `out` and `err`: an OUTPUT that names the file
    // one of them is open on is written through that stream.
    int standardOutput = 1;
    int standardError = 2;
};

// The command-line tool: `count [FILE]` and `pick [-n NUMBER] [FILE]`, each
// with `-o OUTPUT`, and `--help` and `--version` (see the usage text).
// Returns the exit status: 0 done, 1 an error (a failed write to `out` or
// to OUTPUT included), 2 a usage error. Messages go to `err` with control
// characters and bytes that are not UTF-8 escaped.
int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const PickCommandHooks& hooks = {});

} // namespace tavilon
