#include "open_dialog.h"

#include "browse_dialog_controls.h"
#include "file_list_box.h"
#include "main_window.h"
#include "window_registry.h"
#include "word_list_loading.h"

namespace tavilon {

OpenDialog::OpenDialog(WindowRegistry& windows)
    : BrowseDialog(windows, QStringLiteral("frmDialog"), " Open file:", OpenDialogClientHeight, "Open file",
                   "The name of the file selected in the file list; Ok loads the selected file")
{
}

void OpenDialog::onOkClicked()
{
    // Only the entry selected in the file list counts; the name box is not read.
    const QString name = fileList()->fileName();
    if (name.isEmpty()) {
        warn(tr("Select a word list in the file list first."));
        return;
    }
    const QString path = chosenPath(name);
    // Count first: on any failure the main window keeps its path and count
    // and this dialog stays open.
    const QByteArray pathBytes = chosenPathBytes(fileList()->fileNameBytes());
    const auto counted = countWordList(this, windows().services(), path, pathBytes.toStdString());
    if (!counted)
        return;
    // A main window closed by its close box is opened afresh to take the list.
    MainWindow& mainWindow = windows().mainWindow().isLoaded() ? *windows().mainWindow().get() : windows().mainWindow().show();
    mainWindow.showCountedList(path, counted->count, pathBytes, counted->file);
    windows().openDialog().unload();
}

void OpenDialog::onCancelClicked()
{
    windows().openDialog().unload();
}

} // namespace tavilon
