#include "save_dialog.h"

#include "browse_dialog_controls.h"
#include "result_file.h"
#include "platform/services/desktop_services.h"
#include "platform/services/error_text.h"
#include "platform/services/word_list_loading.h"

#include <QApplication>
#include <QLineEdit>
#include <QScopeGuard>

#include <new>

namespace tavilon {

SaveDialog::SaveDialog(DesktopServices& services, OutputSource output)
    : BrowseDialog(services, QStringLiteral("savefrm"), QT_TRANSLATE_NOOP("Controls", "File name:"),
                   browse_dialog_controls::SaveClientHeight, QT_TRANSLATE_NOOP("Controls", "File name"),
                   QT_TRANSLATE_NOOP("Controls", "Name of the file to save the picked words to, in the folder shown")),
      output_(std::move(output))
{
}

void SaveDialog::onOkClicked()
{
    if (refusedWhileBusy())
        return;
    if (nameBox()->text().trimmed().isEmpty()) { // blanks only are no name either
        warn(tr("Type a name for the file to save, or click an existing file."));
        return;
    }
    Outcome<void> written;
    try {
        const std::optional<QString> output = output_();
        if (!output) {
            warn(tr("The main window has been closed, so there is no output left to save. Nothing was written."));
            return;
        }
        // A name picked from the file list keeps its own bytes, even where
        // they are not valid UTF-8, so the file shown is the file replaced.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const QScopeGuard restore([] { QApplication::restoreOverrideCursor(); });
        // A name typed as a whole path ("/home/me/picks.txt") is that path.
        const QByteArray name = nameBoxBytes();
        written = writeResultFile(name.startsWith('/') ? name : chosenPathBytes(name), *output);
    } catch (const std::bad_alloc&) {
        // The text to save is built whole before the file is touched.
        warn(tr("There is not enough memory to save the output. The output box and the file are unchanged; "
                "close other programs and save again."));
        return;
    }
    if (!written) {
        warn(tr("The output was not saved.\n\n%1").arg(errorText(written.error())));
        return;
    }
    services().showMessage(this, DesktopServices::Icon::None, tr("saved"), [this] { close(); });
}

} // namespace tavilon
