#include "start_options.h"

#include <algorithm>
#include <string_view>

#include <getopt.h>

namespace tavilon {

namespace {

constexpr int VersionOption = 'V' + 0x100; // no short form

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

CoreError usageError(std::string what)
{
    return {ErrorCode::WrongUsage, std::move(what)};
}

} // namespace

bool readableBeforeQt(const std::vector<std::string>& args)
{
    const auto end = std::find(args.begin(), args.end(), "--");
    return std::none_of(args.begin(), end, [](const std::string& arg) { return isOption(arg) && !isOurs(arg); });
}

Outcome<StartOptions> parseStartOptions(const std::vector<std::string>& args)
{
    // getopt_long wants a writable argv led by the program's name.
    std::vector<std::string> strings {"tavilon"};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(strings.size());

    StartOptions options;
    opterr = 0; // the messages are ours
    optind = 0; // starts afresh, whatever an earlier parse left
    for (;;) {
        const int at = optind == 0 ? 1 : optind;
        const int c = getopt_long(argc, argv.data(), ShortOptions, LongOptions, nullptr);
        if (c == -1)
            break;
        const std::string& arg = strings[static_cast<std::size_t>(at)];
        if (c == 1) {
            if (options.file)
                return usageError("one word list at a time");
            options.file = optarg;
        } else if (!isOurs(arg)) { // unknown, shortened, or "-hx"
            return usageError("unknown option \"" + arg + "\"");
        } else {
            options.action = c == 'h' ? StartOptions::Action::Help : StartOptions::Action::Version;
            return options;
        }
    }
    // After "--", everything left is a file.
    for (int i = optind; i < argc; ++i) {
        if (options.file)
            return usageError("one word list at a time");
        options.file = strings[static_cast<std::size_t>(i)];
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
