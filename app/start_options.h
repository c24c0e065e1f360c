#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavilon {

// What the command line asks of the program before it makes its windows:
// `--help` and `--version` are answered without a display; Qt's own
// options (-platform, -style, -reverse, ...) are left for Qt; one FILE is
// the word list to load at start.
struct StartOptions {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    std::optional<std::string> file; // as given, in the file system's bytes
    std::string usageError;          // what was wrong, for UsageError
};

StartOptions parseStartOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string startUsage();

} // namespace tavilon
