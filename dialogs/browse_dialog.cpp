#include "browse_dialog.h"

#include "browse_dialog_design.h"
#include "desktop_services.h"
#include "dir_list_box.h"
#include "drive_list_box.h"
#include "file_list_box.h"
#include "forms.h"
#include "twips.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

namespace tavilon {

BrowseDialog::BrowseDialog(Forms& forms, const QString& name, const char* labelCaption, int clientHeight)
    : forms_(forms)
{
    setObjectName(name);
    setWindowTitle(QStringLiteral("Load"));
    // A fixed dialog frame with the close box only and no taskbar entry; it
    // still counts for the end of the program.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(px(BrowseDialogClientWidth), px(clientHeight));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(89, 117, 191));
    setPalette(palette);

    const auto design = browseDialogDesign(labelCaption);
    controls_.build(this, design);

    // The lists start at the process's current drive and folder; the
    // caption keeps "Load" until the user moves.
    const QList<DriveInfo> drives = forms.services().drives();
    dirDialog()->setDrives(drives);
    // A current folder that has vanished or cannot be read gives way to the
    // home folder, then to the root.
    for (const QString& start : {QDir::currentPath(), QDir::homePath(), QDir::rootPath()}) {
        if (dirDialog()->openFolder(start).isEmpty())
            break;
    }
    drvDialog()->setDrives(drives, dirDialog()->path());
    filDialog()->setPath(dirDialog()->path());

    connect(drvDialog(), &DriveListBox::Change, this, &BrowseDialog::drvDialog_Change);
    connect(dirDialog(), &DirListBox::Change, this, &BrowseDialog::dirDialog_Change);
    connect(dirDialog(), &DirListBox::openFailed, this, &BrowseDialog::warn);
    connect(filDialog(), &FileListBox::PathChange, this, &BrowseDialog::filDialog_PathChange);
    connect(filDialog(), &FileListBox::Click, this, &BrowseDialog::filDialog_Click);
    connect(cmdOK(), &QPushButton::clicked, this, &BrowseDialog::cmdOK_Click);
    connect(cmdCancel(), &QPushButton::clicked, this, &BrowseDialog::cmdCancel_Click);

    txtFilename()->setFocus();
}

QLineEdit* BrowseDialog::txtFilename() const { return controls_.get<QLineEdit>(QStringLiteral("txtFilename")); }
DriveListBox* BrowseDialog::drvDialog() const { return controls_.get<DriveListBox>(QStringLiteral("drvDialog")); }
DirListBox* BrowseDialog::dirDialog() const { return controls_.get<DirListBox>(QStringLiteral("dirDialog")); }
FileListBox* BrowseDialog::filDialog() const { return controls_.get<FileListBox>(QStringLiteral("filDialog")); }
QPushButton* BrowseDialog::cmdOK() const { return controls_.get<QPushButton>(QStringLiteral("cmdOK")); }
QPushButton* BrowseDialog::cmdCancel() const { return controls_.get<QPushButton>(QStringLiteral("cmdCancel")); }

QString BrowseDialog::chosenPath(const QString& name) const
{
    return QDir::toNativeSeparators(dirDialog()->path()) + QDir::separator() + name;
}

void BrowseDialog::warn(const QString& text)
{
    forms_.services().showMessage(this, DesktopServices::Icon::Warning, text);
}

void BrowseDialog::drvDialog_Change()
{
    const QString error = dirDialog()->setPath(drvDialog()->drive());
    if (!error.isEmpty()) {
        // The lists and the caption stay as they were; so does the drive.
        drvDialog()->showDriveOf(dirDialog()->path());
        warn(tr("That drive cannot be opened.\n\n%1").arg(error));
    }
}

void BrowseDialog::dirDialog_Change()
{
    const QString error = filDialog()->setPath(dirDialog()->path());
    if (!error.isEmpty())
        warn(error);
    drvDialog()->showDriveOf(dirDialog()->path());
}

void BrowseDialog::filDialog_PathChange()
{
    setWindowTitle(QStringLiteral("Dialog Box - [") + QDir::toNativeSeparators(filDialog()->path())
                   + QStringLiteral("]"));
}

void BrowseDialog::filDialog_Click()
{
    txtFilename()->setText(filDialog()->fileName());
}

} // namespace tavilon
