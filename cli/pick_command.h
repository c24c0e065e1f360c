#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace tavilon {

// Steps a test can put between the parts of a command.
struct PickCommandHooks {
    // Runs in `pick` after the list is counted and before its words are read.
    std::function<void()> afterCount;
};

// The command-line tool: `count FILE` and `pick [-n TEXT] FILE`.
// Returns the exit status: 0 done, 1 an error (a failed write to `out`
// included), 2 a usage error.
int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const PickCommandHooks& hooks = {});

} // namespace tavilon
