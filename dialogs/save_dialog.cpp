#include "save_dialog.h"

#include "browse_dialog_controls.h"
#include "desktop_services.h"
#include "main_window.h"
#include "window_registry.h"
#include "output_box.h"
#include "result_file.h"

#include <QApplication>
#include <QLineEdit>

namespace tavilon {

SaveDialog::SaveDialog(WindowRegistry& windows)
    : BrowseDialog(windows, QStringLiteral("savefrm"), "File name:", SaveDialogClientHeight, "File name",
                   "Name of the file to save the picked words to, in the folder shown")
{
}

void SaveDialog::onOkClicked()
{
    const QString name = nameBox()->text();
    if (name.isEmpty()) {
        warn(tr("Type a name for the file to save, or click an existing file."));
        return;
    }
    MainWindow* mainWindow = windows().mainWindow().get();
    if (!mainWindow) {
        warn(tr("The main window has been closed, so there is no output left to save. Nothing was written."));
        return;
    }
    // A name picked from the file list keeps its own bytes, even where they
    // are not valid UTF-8, so the file shown is the file replaced.
    const QByteArray path = chosenPathBytes(nameBoxBytes());
    QString error;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        error = writeResultFile(path, mainWindow->outputBox()->text());
        QApplication::restoreOverrideCursor();
    }
    if (!error.isEmpty()) {
        warn(tr("The output was not saved.\n\n%1").arg(error));
        return;
    }
    windows().services().showMessage(this, DesktopServices::Icon::None, QStringLiteral("saved"));
    windows().saveDialog().unload();
}

void SaveDialog::onCancelClicked()
{
    windows().saveDialog().unload();
}

} // namespace tavilon
