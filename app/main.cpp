#include "application.h"
#include "desktop_services.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tavilon::applyApplicationLook(app);
    tavilon::QtDesktopServices services;
    tavilon::Application windows(services);
    windows.showMainWindow(); // the start-up window
    return app.exec();
}
