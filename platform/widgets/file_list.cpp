#include "file_list.h"

#include "platform/services/folder_listing.h"

namespace tavilon {

FileList::FileList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // An entry is chosen once it is both current and selected. The arrow
    // keys select it before making it current, a click the other way round;
    // an entry selected by other means (a screen reader's select action, say)
    // is made current here.
    const auto chooseSelected = [this] {
        const QList<QListWidgetItem*> selected = selectedItems();
        if (selected.size() != 1)
            return;
        if (selected.front() != currentItem())
            setCurrentItem(selected.front());
        else
            emit fileSelected();
    };
    connect(this, &QListWidget::currentRowChanged, this, chooseSelected);
    connect(this, &QListWidget::itemSelectionChanged, this, chooseSelected);
}

Outcome<void> FileList::setPath(const QString& path)
{
    const QString target = cleanFolderPath(path);
    const auto files = listFiles(target);
    if (!files)
        return files.error();
    {
        const QSignalBlocker blocker(this);
        clear();
        for (const FolderEntry& file : files.value()) {
            auto* item = new QListWidgetItem(file.name, this); // the list owns it
            item->setData(BytesRole, file.bytes);
        }
        setCurrentRow(-1);
    }
    if (target != path_) {
        path_ = target;
        emit pathChanged();
    }
    return {};
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
