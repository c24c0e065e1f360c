#include "application.h"
#include "start_options.h"
#include "tavilon_version.h"
#include "translations.h"
#include "platform/services/desktop_services.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

// Writes `text` to a standard stream; the exit status tells whether it got
// there, and a text that did not is said on standard error.
int print(std::FILE* stream, const std::string& text, int status)
{
    if (std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0)
        return status;
    if (stream == stdout)
        std::fputs("tavilon: standard output: cannot write\n", stderr);
    return 1;
}

// The exit status for options that end the program before its windows (help,
// version, wrong usage); none for options that run it.
std::optional<int> answer(const tavilon::Outcome<tavilon::StartOptions>& options)
{
    if (!options) {
        print(stderr, "tavilon: " + options.error().message + "\nTry \"tavilon --help\" for more.\n", 2);
        return 2;
    }
    switch (options.value().action) {
    case tavilon::StartOptions::Action::Help:
        return print(stdout, tavilon::startUsage(), 0);
    case tavilon::StartOptions::Action::Version:
        return print(stdout, "tavilon " TAVILON_VERSION "\n", 0);
    case tavilon::StartOptions::Action::Run:
        break;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Arguments none of which can be Qt's are read before the application
    // object exists: --help and --version need no display.
    if (tavilon::readableBeforeQt(args)) {
        if (const auto status = answer(tavilon::parseStartOptions(args)))
            return *status;
    }
    // Qt takes its options even after "--", where they are file names: it
    // is given the arguments before "--" only, and takes its own out of them.
    const auto optionsEnd = std::find(args.begin(), args.end(), "--");
    const int given = 1 + static_cast<int>(optionsEnd - args.begin());
    int qtArgc = given;
    QApplication app(qtArgc, argv);
    // The window's places are fixed, left to right, in every language: Qt's
    // -reverse and a right-to-left language would mirror its menus and lists
    // but not its labels, boxes and buttons.
    QGuiApplication::setLayoutDirection(Qt::LeftToRight);
    std::vector<std::string> left(argv + 1, argv + qtArgc);
    left.insert(left.end(), optionsEnd, args.end());
    // What Qt does with its own options is Qt's: "-platform" without a
    // value, for one, it drops without a word, as every Qt program does.
    const auto options = tavilon::parseStartOptions(left);
    if (const auto status = answer(options))
        return *status;

    // The locale comes from LANG, LC_ALL or LC_MESSAGES, as the desktop sets it.
    const tavilon::Translations translations;
    tavilon::applyApplicationLook(app);
    tavilon::QtDesktopServices services;
    tavilon::Application windows(services);
    windows.showMainWindow(); // the start-up window
    if (const auto& file = options.value().file) {
        // Relative to the folder the program was started in, as a shell means
        // it, in the name's own bytes (which need not be valid UTF-8).
        QByteArray path = QByteArray::fromStdString(*file);
        if (!path.startsWith('/'))
            path = QFile::encodeName(QDir::currentPath()) + '/' + path;
        windows.loadListAtStart(QFile::decodeName(path), path);
    }
    return app.exec();
}
