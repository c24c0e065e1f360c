#pragma once

#include "core/errors/outcome.h"

#include <optional>
#include <string>
#include <vector>

namespace tavilon {

// What the command line asks of the program: its help, its version, or the
// window, with one FILE as the word list to load at start. Qt's own options
// (-platform, -style, -reverse, ...) are Qt's: QApplication takes them out
// of the arguments before the rest is read here.
struct StartOptions {
    enum class Action { Run, Help, Version };
    Action action = Action::Run;
    std::optional<std::string> file; // as given, in the file system's bytes
};

// True when no argument (the program's name left out) before "--" can be
// one of Qt's options, so that they can all be read before the application
// object exists: `--help` and `--version` need no display.
bool readableBeforeQt(const std::vector<std::string>& args);

// Reads the arguments Qt has left (the program's name left out). --help
// (-h) and --version act where they stand: the first of them, or the first
// error, decides. An error is WrongUsage, its message saying what is wrong
// in a few words.
Outcome<StartOptions> parseStartOptions(const std::vector<std::string>& args);

// The text --help prints.
std::string startUsage();

} // namespace tavilon
