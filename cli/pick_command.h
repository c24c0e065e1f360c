#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace tavilon {

// The command-line tool: `count FILE` and `pick [-n TEXT] FILE`.
// Returns the exit status: 0 done, 1 an error, 2 a usage error.
int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace tavilon
