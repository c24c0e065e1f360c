#include "save_dialog.h"

#include "browse_dialog_controls.h"
#include "desktop_services.h"
#include "main_window.h"
#include "window_registry.h"
#include "output_box.h"
#include "result_file.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>

namespace tavilon {

SaveDialog::SaveDialog(WindowRegistry& windows) : BrowseDialog(windows, QStringLiteral("savefrm"), "File name:", SaveDialogClientHeight) {}

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
    const QByteArray nameBytes = nameBoxBytes();
    if (QFile::encodeName(QFile::decodeName(nameBytes)) != nameBytes) {
        // Writing under the name as shown would make a second file beside it.
        warn(tr("\"%1\" cannot be replaced: its name is not valid UTF-8. Type another name; nothing was written.")
                 .arg(name));
        return;
    }
    const QString path = chosenPath(name);
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
