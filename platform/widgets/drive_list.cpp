#include "drive_list.h"

#include "drive_list_accessible.h"

#include <QSignalBlocker>

namespace tavilon {

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    DriveListAccessible::install();
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index != shown_) {
            shown_ = index;
            emit changed();
        }
    });
}

void DriveList::setDrives(const QList<DriveInfo>& drives, const QString& currentPath)
{
    const QSignalBlocker blocker(this);
    drives_ = drives;
    clear();
    for (const DriveInfo& drive : drives)
        addItem(drive.label.isEmpty() ? drive.root : drive.root + QStringLiteral(" [") + drive.label + QLatin1Char(']'));
    shown_ = driveIndexOf(drives_, currentPath);
    setCurrentIndex(shown_);
}

QString DriveList::drive() const
{
    const int index = currentIndex();
    return index >= 0 && index < drives_.size() ? drives_[index].root : QString();
}

void DriveList::showDriveOf(const QString& path)
{
    const QSignalBlocker blocker(this);
    shown_ = driveIndexOf(drives_, path);
    setCurrentIndex(shown_);
}

} // namespace tavilon
