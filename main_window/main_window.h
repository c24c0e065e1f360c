#pragma once

#include "control_table.h"

#include <QMainWindow>

#include <memory>

class QLineEdit;
class QPushButton;
class QGroupBox;

namespace tavilon {

class Forms;
class OutputBox;
namespace layout {
class QtLayoutForm;
}

// The main window: the word list's path and count, the number of picks,
// the buttons, the output box and the menu. Its boxes are the state that
// the other windows share.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    // The most lines the output box holds; a press that would pass it is
    // refused, so the box stays responsive and nothing is lost.
    static constexpr qint64 MaxOutputLines = 1'000'000;
    // The longest word the output box takes: laying out one very long line
    // costs the box time that grows with the square of its length.
    static constexpr qsizetype MaxWordLength = 10'000;

    explicit Form1(Forms& forms);
    ~Form1() override;

    OutputBox* Text1() const;
    QLineEdit* Text2() const;
    QLineEdit* Text3() const;
    QLineEdit* Text4() const;
    QPushButton* Command1() const;
    QPushButton* Command2() const;
    QPushButton* Command4() const;
    QWidget* clientArea() const { return client_; }

    // A counted word list, shown as the open dialog's "Ok" shows it.
    void showCountedList(const QString& path, const QString& count);

    // Event handlers, named after the control and the event.
    void Command4_Click();
    void Command1_Click();
    void Command2_Click();
    void Text2_Change();
    void Text4_Change();
    void load_Click();
    void save_Click();
    void uj_Click();
    void exit_Click();
    void Form_Resize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    void changeCheck(QLineEdit* box);
    void warn(const QString& text);

    Forms& forms_;
    QWidget* client_ = nullptr; // owned by the window
    ControlTable controls_;
    std::unique_ptr<layout::QtLayoutForm> layoutForm_;
};

} // namespace tavilon
