#include "folder_list.h"

#include "platform/services/error_text.h"
#include "platform/services/folder_listing.h"

#include <QDir>
#include <QKeyEvent>

namespace tavilon {

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::openItem);
}

QString FolderList::driveCurrentDirectory(const QString& root) const
{
    const QString current = cleanFolderPath(QDir::currentPath());
    const int driveOfCurrent = driveIndexOf(drives_, current);
    if (driveOfCurrent >= 0 && drives_[driveOfCurrent].root == root)
        return current;
    return root;
}

Outcome<void> FolderList::setPath(const QString& path)
{
    for (const DriveInfo& drive : drives_) {
        if (drive.root == path)
            return openFolder(driveCurrentDirectory(path));
    }
    return openFolder(path);
}

Outcome<void> FolderList::openFolder(const QString& path)
{
    const QString target = cleanFolderPath(path);
    const auto subfolders = listSubfolders(target);
    if (!subfolders)
        return subfolders.error();

    clear();
    // The chain from the root down to the folder itself.
    QStringList chain;
    for (QDir dir(target);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    int depth = 0;
    QListWidgetItem* currentItem = nullptr;
    for (const QString& folder : chain) {
        const QString name = QDir(folder).isRoot() ? folder : QDir(folder).dirName();
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, folder);
        currentItem = item;
        ++depth;
    }
    for (const FolderEntry& subfolder : subfolders.value()) {
        const QString& name = subfolder.name;
        const QString full = target.endsWith(QLatin1Char('/')) ? target + name : target + QLatin1Char('/') + name;
        auto* item = new QListWidgetItem(QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(PathRole, full);
    }
    setCurrentItem(currentItem);

    if (target != path_) {
        path_ = target;
        emit changed();
    }
    return {};
}

void FolderList::openItem(QListWidgetItem* item)
{
    if (!item)
        return;
    const auto opened = openFolder(item->data(PathRole).toString());
    if (!opened)
        emit openFailed(errorText(opened.error()));
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        openItem(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace tavilon
