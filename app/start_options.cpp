#include "start_options.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tavilon {

namespace {

// Qt's own options (QGuiApplication, QApplication and the X11 platform),
// which Qt takes out of the arguments itself; the first list takes a value.
constexpr std::array<std::string_view, 17> QtOptionsWithValue = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "session", "display", "geometry", "style", "stylesheet", "name", "title", "visual",
    "ncols", "im"};
constexpr std::array<std::string_view, 8> QtFlags = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                                     "cmap", "testability", "qmljsdebugger"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

StartOptions usageError(std::string what)
{
    StartOptions options;
    options.action = StartOptions::Action::UsageError;
    options.usageError = std::move(what);
    return options;
}

} // namespace

StartOptions parseStartOptions(const std::vector<std::string>& args)
{
    StartOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--help" || arg == "-h")
                return StartOptions{StartOptions::Action::Help, {}, {}};
            if (arg == "--version")
                return StartOptions{StartOptions::Action::Version, {}, {}};
            // Qt takes -name and --name alike, a value after it or after '='.
            std::string_view name(arg);
            name.remove_prefix(name.rfind("--", 0) == 0 ? 2 : 1);
            const auto equals = name.find('=');
            const std::string_view bare = name.substr(0, equals);
            if (listed(QtOptionsWithValue, bare)) {
                if (equals == std::string_view::npos && ++i >= args.size())
                    return usageError(arg + " needs a value");
                continue;
            }
            if (listed(QtFlags, bare))
                continue;
            return usageError("unknown option \"" + arg + "\"");
        }
        if (options.file)
            return usageError("one word list at a time");
        options.file = arg;
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
