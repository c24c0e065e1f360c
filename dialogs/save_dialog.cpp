#include "savefrm.h"

#include "browse_dialog_design.h"
#include "desktop_services.h"
#include "form1.h"
#include "forms.h"
#include "output_box.h"
#include "result_file.h"

#include <QApplication>
#include <QLineEdit>

namespace tavilon {

savefrm::savefrm(Forms& forms) : BrowseDialog(forms, QStringLiteral("savefrm"), "File name:", SaveDialogClientHeight) {}

void savefrm::cmdOK_Click()
{
    const QString name = txtFilename()->text();
    if (name.isEmpty()) {
        warn(tr("Type a name for the file to save, or click an existing file."));
        return;
    }
    Form1* form1 = forms().form1().get();
    if (!form1) {
        warn(tr("The main window has been closed, so there is no output left to save. Nothing was written."));
        return;
    }
    const QString path = chosenPath(name);
    QString error;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        error = writeResultFile(path, form1->Text1()->text());
        QApplication::restoreOverrideCursor();
    }
    if (!error.isEmpty()) {
        warn(tr("The output was not saved.\n\n%1").arg(error));
        return;
    }
    forms().services().showMessage(this, DesktopServices::Icon::None, QStringLiteral("saved"));
    forms().saveDialog().unload();
}

void savefrm::cmdCancel_Click()
{
    forms().saveDialog().unload();
}

} // namespace tavilon
