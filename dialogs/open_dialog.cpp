#include "open_dialog.h"

#include "browse_dialog_controls.h"
#include "file_list.h"

namespace tavilon {

OpenDialog::OpenDialog(DesktopServices& services)
    : BrowseDialog(services, QStringLiteral("frmDialog"), " Open file:", browse_dialog_controls::OpenClientHeight,
                   "Open file", "The name of the file selected in the file list; Ok loads the selected file")
{
}

void OpenDialog::onOkClicked()
{
    if (const QString reason = waitReason_ ? waitReason_() : QString(); !reason.isEmpty()) {
        warn(reason);
        return;
    }
    // Only the entry selected in the file list counts; the name box is not read.
    const QString name = fileList()->fileName();
    if (name.isEmpty()) {
        warn(tr("Select a word list in the file list first."));
        return;
    }
    const auto counted = countWordList(this, services(), chosenPath(name), chosenPathBytes(fileList()->fileNameBytes()));
    if (!counted)
        return;
    emit listChosen(*counted);
    close();
}

} // namespace tavilon
