#include "browse_dialog.h"

#include "browse_dialog_controls.h"
#include "platform/services/desktop_services.h"
#include "platform/services/error_text.h"
#include "platform/services/word_list_loading.h"
#include "platform/tables/control_builder.h"
#include "platform/tables/scaled_places.h"
#include "platform/tables/twips.h"
#include "platform/tables/window_look.h"
#include "platform/widgets/drive_list.h"
#include "platform/widgets/file_list.h"
#include "platform/widgets/folder_list.h"
#include "platform/widgets/wrapping_button.h"
#include "platform/windows/window_accessibility.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace tavilon {

BrowseDialog::BrowseDialog(DesktopServices& services, const QString& objectName, const char* labelText,
                           int clientHeight, const char* nameBoxName, const char* nameBoxDescription)
    : services_(services)
{
    setUpWindow(objectName, clientHeight);
    QLabel* label = buildControls(labelText, clientHeight);
    describeControls(label, nameBoxName, nameBoxDescription);
    paintOnWindowColour(this);
    openStartFolder();
    connectControls();
    nameBox()->setFocus();
}

void BrowseDialog::setUpWindow(const QString& objectName, int clientHeight)
{
    // A dialog to assistive technology, though Enter and Escape do nothing here.
    setAccessibleWindowRole(this, QAccessible::Dialog);
    setObjectName(objectName);
    setWindowTitle(tr("Load"));
    // A fixed dialog frame with the close box only and no taskbar entry; it
    // still counts for the end of the program.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, true);
    setFixedSize(px(browse_dialog_controls::ClientWidth), px(clientHeight));
    setAutoFillBackground(true);
}

QLabel* BrowseDialog::buildControls(const char* labelText, int clientHeight)
{
    using namespace browse_dialog_controls;
    ControlRow labelRow = Label;
    labelRow.text = labelText;
    ControlBuilder build;
    auto* label = build.add<QLabel>(this, labelRow);
    nameBox_ = build.add<QLineEdit>(this, Name);
    folderList_ = build.add<FolderList>(this, Folders);
    fileList_ = build.add<FileList>(this, Files);
    driveList_ = build.add<DriveList>(this, Drives);
    okButton_ = build.add<WrappingButton>(this, Ok);
    cancelButton_ = build.add<WrappingButton>(this, Cancel);
    build.finish();
    new ScaledPlaces(this, build.controls(), QSize(ClientWidth, clientHeight),
                     ScaledPlaces::WindowSize::Fixed); // owned by the dialog
    return label;
}

void BrowseDialog::describeControls(QLabel* label, const char* nameBoxName, const char* nameBoxDescription)
{
    // The name box is named after the label beside it, which differs
    // between the two dialogs.
    describeControl(nameBox_, nameBoxName, nameBoxDescription, label);
    describeControl(folderList_, QT_TRANSLATE_NOOP("Controls", "Folders"),
                    QT_TRANSLATE_NOOP("Controls", "The folders from the root down to the folder shown, then its "
                                                  "subfolders; Enter or a double click opens a folder"));
    describeControl(fileList_, QT_TRANSLATE_NOOP("Controls", "Files"),
                    QT_TRANSLATE_NOOP("Controls", "The files of the folder shown"));
    describeControl(driveList_, QT_TRANSLATE_NOOP("Controls", "Drive"),
                    QT_TRANSLATE_NOOP("Controls", "The drive whose folders are shown"));
}

void BrowseDialog::openStartFolder()
{
    // The lists start at the process's current drive and folder; the
    // title keeps "Load" until the user moves.
    const QList<DriveInfo> drives = services_.drives();
    folderList()->setDrives(drives);
    // A current folder that has vanished or cannot be read gives way to the
    // home folder, then to the root.
    for (const QString& start : {QDir::currentPath(), QDir::homePath(), QDir::rootPath()}) {
        if (folderList()->openFolder(start))
            break;
    }
    driveList()->setDrives(drives, folderList()->path());
    fileList()->setPath(folderList()->path());
}

void BrowseDialog::connectControls()
{
    connect(driveList(), &DriveList::changed, this, &BrowseDialog::onDriveChanged);
    connect(folderList(), &FolderList::changed, this, &BrowseDialog::onFolderChanged);
    connect(folderList(), &FolderList::openFailed, this, &BrowseDialog::warn);
    connect(fileList(), &FileList::pathChanged, this, &BrowseDialog::onFileListPathChanged);
    connect(fileList(), &FileList::fileSelected, this, [this] { nameBox()->setText(fileList()->fileName()); });
    connect(okButton(), &QPushButton::clicked, this, &BrowseDialog::onOkClicked);
    connect(cancelButton(), &QPushButton::clicked, this, &QWidget::close);
}

QString BrowseDialog::chosenPath(const QString& name) const
{
    return QDir::toNativeSeparators(folderList()->path()) + QDir::separator() + name;
}

QByteArray BrowseDialog::chosenPathBytes(const QByteArray& nameBytes) const
{
    return QFile::encodeName(QDir::toNativeSeparators(folderList()->path())) + QFile::encodeName(QDir::separator())
        + nameBytes;
}

QByteArray BrowseDialog::nameBoxBytes() const
{
    const QString name = nameBox()->text();
    if (!name.isEmpty() && name == fileList()->fileName())
        return fileList()->fileNameBytes();
    return QFile::encodeName(name);
}

bool BrowseDialog::refusedWhileBusy()
{
    QString reason = WordListCount::anyRunning() ? WordListCount::waitMessage() : QString();
    if (reason.isEmpty() && waitReason_)
        reason = waitReason_();
    if (reason.isEmpty())
        return false;
    warn(reason);
    return true;
}

void BrowseDialog::warn(const QString& text)
{
    services_.showMessage(this, DesktopServices::Icon::Warning, text);
}

void BrowseDialog::onDriveChanged()
{
    const auto opened = folderList()->setPath(driveList()->drive());
    if (!opened) {
        // The lists and the title stay as they were; so does the drive.
        driveList()->showDriveOf(folderList()->path());
        warn(tr("That drive cannot be opened.\n\n%1").arg(errorText(opened.error())));
    }
}

void BrowseDialog::onFolderChanged()
{
    const auto listed = fileList()->setPath(folderList()->path());
    if (!listed)
        warn(errorText(listed.error()));
    driveList()->showDriveOf(folderList()->path());
}

void BrowseDialog::onFileListPathChanged()
{
    setWindowTitle(tr("Dialog Box - [%1]").arg(QDir::toNativeSeparators(fileList()->path())));
}

} // namespace tavilon
