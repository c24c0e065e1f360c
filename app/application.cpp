#include "application.h"

#include "main_window.h"
#include "about_window.h"
#include "desktop_identity.h"
#include "window_registry.h"
#include "open_dialog.h"
#include "save_dialog.h"

#include <QApplication>
#include <QFontDatabase>

namespace tavilon {

void applyApplicationLook(QApplication& app)
{
    // A narrow face where the machine has one, so that every caption fits
    // the sizes of its control.
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
        font.setFamily(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    app.setFont(font);
    // Name, version, desktop entry and icon, as the menu entry knows them.
    applyDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(true);
}

void registerWindows(WindowRegistry& windows)
{
    windows.mainWindow().setFactory([&windows] { return std::make_unique<MainWindow>(windows); });
    windows.openDialog().setFactory([&windows] { return std::make_unique<OpenDialog>(windows); });
    windows.saveDialog().setFactory([&windows] { return std::make_unique<SaveDialog>(windows); });
    windows.aboutWindow().setFactory([] { return std::make_unique<AboutWindow>(); });
}

} // namespace tavilon
