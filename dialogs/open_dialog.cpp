#include "frm_dialog.h"

#include "browse_dialog_design.h"
#include "file_list_box.h"
#include "form1.h"
#include "forms.h"
#include "word_list_loading.h"

namespace tavilon {

frmDialog::frmDialog(Forms& forms) : BrowseDialog(forms, QStringLiteral("frmDialog"), " Open file:", OpenDialogClientHeight) {}

void frmDialog::cmdOK_Click()
{
    // Only the entry selected in the file list counts; the name box is not read.
    const QString name = filDialog()->fileName();
    if (name.isEmpty()) {
        warn(tr("Select a word list in the file list first."));
        return;
    }
    const QString path = chosenPath(name);
    // Count first: on any failure the main window keeps its path and count
    // and this dialog stays open.
    const auto count = countWordList(this, forms().services(), path);
    if (!count)
        return;
    // A main window closed by its close box is opened afresh to take the list.
    Form1& form1 = forms().form1().isLoaded() ? *forms().form1().get() : forms().form1().show();
    form1.showCountedList(path, *count);
    forms().openDialog().unload();
}

void frmDialog::cmdCancel_Click()
{
    forms().openDialog().unload();
}

} // namespace tavilon
