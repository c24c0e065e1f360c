#include "application.h"
#include "platform/services/desktop_services.h"
#include "start_options.h"
#include "tavilon_version.h"
#include "translations.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Writes `text` to a standard stream; the exit status tells whether it got there.
int print(std::FILE* stream, const std::string& text, int status)
{
    const bool written = std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
    return written ? status : 1;
}

} // namespace

int main(int argc, char** argv)
{
    // Read before the application object exists: --help and --version need no display.
    const tavilon::StartOptions options = tavilon::parseStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case tavilon::StartOptions::Action::Help:
        return print(stdout, tavilon::startUsage(), 0);
    case tavilon::StartOptions::Action::Version:
        return print(stdout, "tavilon " TAVILON_VERSION "\n", 0);
    case tavilon::StartOptions::Action::UsageError:
        print(stderr, "tavilon: " + options.usageError + "\nTry \"tavilon --help\" for more.\n", 2);
        return 2;
    case tavilon::StartOptions::Action::Run:
        break;
    }

    QApplication app(argc, argv);
    // The locale comes from LANG, LC_ALL or LC_MESSAGES, as the desktop sets it.
    const tavilon::Translations translations;
    tavilon::applyApplicationLook(app);
    tavilon::QtDesktopServices services;
    tavilon::Application windows(services);
    windows.showMainWindow(); // the start-up window
    if (options.file) {
        // Relative to the folder the program was started in, as a shell means
        // it, in the name's own bytes (which need not be valid UTF-8).
        QByteArray path = QByteArray::fromStdString(*options.file);
        if (!path.startsWith('/'))
            path = QFile::encodeName(QDir::currentPath()) + '/' + path;
        windows.loadListAtStart(QFile::decodeName(path), path);
    }
    return app.exec();
}
