#include "application.h"
#include "desktop_services.h"
#include "forms.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tavilon::applyApplicationLook(app);
    tavilon::QtDesktopServices services;
    tavilon::Forms forms(services);
    tavilon::registerWindows(forms);
    forms.form1().showWidget(); // the start-up window
    return app.exec();
}
