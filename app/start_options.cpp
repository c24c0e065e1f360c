#include "start_options.h"

#include "cli/option_reader.h"

#include <algorithm>
#include <string_view>

namespace tavilon {

namespace {

constexpr option LongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VersionOption},
    {nullptr, 0, nullptr, 0},
};
// '-': operands come back in order, as option 1, also under POSIXLY_CORRECT.
constexpr char ShortOptions[] = "-h";

bool isOption(std::string_view arg)
{
    return arg.size() > 1 && arg[0] == '-';
}

bool isOurs(std::string_view arg)
{
    return arg == "--help" || arg == "-h" || arg == "--version";
}

// Takes `name` as the word list to load; the error when it cannot be one.
std::optional<CoreError> addFile(StartOptions& options, std::string name)
{
    if (name.empty())
        return wrongUsage("the word list's name is empty");
    if (options.file)
        return wrongUsage("one word list at a time");
    options.file = std::move(name);
    return std::nullopt;
}

} // namespace

bool readableBeforeQt(const std::vector<std::string>& args)
{
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::none_of(args.begin(), end, [](const std::string& arg) { return isOption(arg) && !isOurs(arg); });
}

Outcome<StartOptions> parseStartOptions(const std::vector<std::string>& args)
{
    StartOptions options;
    OptionReader reader("tavilon", args, ShortOptions, LongOptions);
    while (const auto found = reader.next()) {
        if (found->code == 1) {
            if (auto refused = addFile(options, found->value))
                return *refused;
        } else if (!isOurs(found->arg)) { // unknown, shortened, or "-hx"
            return unknownOption(found->arg);
        } else {
            options.action = found->code == 'h' ? StartOptions::Action::Help : StartOptions::Action::Version;
            return options;
        }
    }
    // After "--", everything left is a file.
    for (std::string& name : reader.rest()) {
        if (auto refused = addFile(options, std::move(name)))
            return *refused;
    }
    return options;
}

std::string startUsage()
{
    return "Usage: tavilon [FILE]\n"
           "       tavilon --help | --version\n"
           "\n"
           "Opens the Tavilon window, which draws random words from a word list.\n"
           "With FILE, the window starts with that list loaded and counted, as\n"
           "File > Load would load it.\n"
           "\n"
           "  -h, --help     print this text and exit\n"
           "      --version  print the program's version and exit\n"
           "\n"
           "Qt's own options, such as -platform, -style or -reverse, are passed to Qt.\n"
           "Exit status: 0 done, 1 the help could not be written, 2 wrong usage.\n";
}

} // namespace tavilon
