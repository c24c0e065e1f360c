#include "application.h"
#include "desktop_services.h"
#include "window_registry.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tavilon::applyApplicationLook(app);
    tavilon::QtDesktopServices services;
    tavilon::WindowRegistry windows(services);
    tavilon::registerWindows(windows);
    windows.mainWindow().showWidget(); // the start-up window
    return app.exec();
}
