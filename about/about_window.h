#pragma once

#include <QWidget>

class QLabel;

namespace tavilon {

// The About window: fixed text about the maker and a rule. Resizing it moves
// nothing.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    AboutWindow();

    // The address with the maker's name taken out: the part up to and
    // including its first dot, the blanks, the part from its last dot on.
    static QString headingText(const QString& address, int blanks);

private:
    static void fitHeading(QLabel* heading, QLabel* name);
};

} // namespace tavilon
