#include "file_list.h"

#include "folder_listing.h"

namespace tavilon {

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit fileSelected();
    });
    // An entry selected without a click (by a screen reader's select action,
    // say) becomes the current entry as a click makes it, and so is chosen.
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> selected = selectedItems();
        if (selected.size() == 1 && selected.front() != currentItem())
            setCurrentItem(selected.front());
    });
}

QString FileList::setPath(const QString& path)
{
    const QString target = cleanFolderPath(path);
    QList<FolderEntry> files;
    const QString error = listFolder(target, false, files);
    if (!error.isEmpty())
        return error;
    {
        const QSignalBlocker blocker(this);
        clear();
        for (const FolderEntry& file : files) {
            auto* item = new QListWidgetItem(file.name, this); // the list owns it
            item->setData(BytesRole, file.bytes);
        }
        setCurrentRow(-1);
    }
    if (target != path_) {
        path_ = target;
        emit pathChanged();
    }
    return QString();
}

QString FileList::fileName() const
{
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QByteArray FileList::fileNameBytes() const
{
    const QListWidgetItem* item = currentItem();
    return item && item->isSelected() ? item->data(BytesRole).toByteArray() : QByteArray();
}

} // namespace tavilon
