#include "open_dialog.h"

#include "browse_dialog_controls.h"
#include "platform/widgets/file_list.h"

namespace tavilon {

OpenDialog::OpenDialog(DesktopServices& services)
    : BrowseDialog(services, QStringLiteral("frmDialog"), QT_TRANSLATE_NOOP("Controls", " Open file:"),
                   browse_dialog_controls::OpenClientHeight, QT_TRANSLATE_NOOP("Controls", "Open file"),
                   QT_TRANSLATE_NOOP("Controls",
                                     "The name of the file selected in the file list; Ok loads the selected file"))
{
}

void OpenDialog::onOkClicked()
{
    if (refusedWhileBusy())
        return;
    // Only the entry selected in the file list counts; the name box is not read.
    const QString name = fileList()->fileName();
    if (name.isEmpty()) {
        warn(tr("Select a word list in the file list first."));
        return;
    }
    // The count deletes itself once done; on failure the dialog stays.
    auto* count = new WordListCount(this, services(), chosenPath(name), chosenPathBytes(fileList()->fileNameBytes()));
    connect(count, &WordListCount::counted, this, [this](const CountedList& list) {
        emit listChosen(list);
        close();
    });
}

} // namespace tavilon
