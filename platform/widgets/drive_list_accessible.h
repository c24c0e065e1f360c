#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace tavilon {

// The drive list as assistive technology reads it: its accessible name as
// its name and the chosen drive as its value. (Qt's own interface for a
// drop-down list on Linux reads the chosen entry as the name, so "/" would
// be all a screen reader said of it.) Opening the list shows its drives.
class DriveListAccessible : public QAccessibleWidget {
public:
    explicit DriveListAccessible(QComboBox* box);

    // Makes every DriveList read through this interface.
    static void install();

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    QComboBox* box() const;
};

} // namespace tavilon
