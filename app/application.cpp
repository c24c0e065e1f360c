#include "application.h"

#include "form1.h"
#include "form2.h"
#include "forms.h"
#include "frm_dialog.h"
#include "savefrm.h"

#include <QApplication>
#include <QFontDatabase>

namespace tavilon {

void applyApplicationLook(QApplication& app)
{
    // A face with the original's narrow metrics where the machine has one,
    // so that every caption fits the designed sizes.
    QFont font = QApplication::font();
    if (QFontDatabase::families().contains(QStringLiteral("Liberation Sans")))
        font.setFamily(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    app.setFont(font);
    app.setApplicationName(QStringLiteral("Brenvask Tavilon"));
    app.setQuitOnLastWindowClosed(true);
}

void registerWindows(Forms& forms)
{
    forms.form1().setFactory([&forms] { return std::make_unique<Form1>(forms); });
    forms.openDialog().setFactory([&forms] { return std::make_unique<frmDialog>(forms); });
    forms.saveDialog().setFactory([&forms] { return std::make_unique<savefrm>(forms); });
    forms.form2().setFactory([] { return std::make_unique<Form2>(); });
}

} // namespace tavilon
