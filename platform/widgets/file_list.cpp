#include "file_list.h"

#include "platform/services/folder_listing.h"

#include <QKeyEvent>

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

void FileList::keyPressEvent(QKeyEvent* event)
{
    // The keys that move through the list choose the entry they reach, also
    // the first one: with none chosen yet the list's first entry is current
    // but not chosen, and the arrow keys start from it instead of moving
    // past it (or, in a folder of one file, doing nothing).
    const int key = event->key();
    const bool arrow = key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_Left || key == Qt::Key_Right;
    const bool moves = arrow || key == Qt::Key_Home || key == Qt::Key_End || key == Qt::Key_PageUp
        || key == Qt::Key_PageDown;
    if (!moves || count() == 0 || !selectedItems().isEmpty()) {
        QListWidget::keyPressEvent(event);
        return;
    }
    if (arrow)
        setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    else
        QListWidget::keyPressEvent(event);
    if (selectedItems().isEmpty() && currentItem())
        currentItem()->setSelected(true);
    event->accept();
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
