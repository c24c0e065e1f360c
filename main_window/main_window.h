#pragma once

#include "platform/services/word_list_loading.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace tavilon {

class DesktopServices;
class OutputBox;
class OutputFill;
class ProportionalLayout;
struct PressInput;

// The main window: the word list's path and count, the number of picks,
// the buttons, the output box and the menu. It asks for the other windows
// by its signals.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The widest and tallest the window gets. Painting a window needs an
    // image of width x height x 4 bytes: at 16384 x 16384 that is 1 GiB,
    // while 65535 x 65535 would need 17 GB and brings the program down.
    // The bound still covers a few of today's largest screens side by side.
    static constexpr int MaxWindowSide = 16384;

    explicit MainWindow(DesktopServices& services);
    ~MainWindow() override;

    // The output box (Text1), the word count (Text2), the word list's path
    // (Text3), the number of picks (Text4) and the buttons.
    OutputBox* outputBox() const { return outputBox_; }
    QLineEdit* countBox() const { return countBox_; }
    QLineEdit* pathBox() const { return pathBox_; }
    QLineEdit* picksBox() const { return picksBox_; }
    QPushButton* copyButton() const { return copyButton_; }
    QPushButton* clearButton() const { return clearButton_; }
    QPushButton* selectButton() const { return selectButton_; }
    QWidget* clientArea() const { return client_; }

    // Shows a counted word list: its path and count, and Select is enabled.
    // A press then picks only while the path box still names that file,
    // unchanged.
    void showCountedList(const CountedList& list);
    // The loaded word list's path in the file system's own bytes: the bytes
    // kept from loading while the path box still shows that path, otherwise
    // the path box's text.
    QByteArray loadedPathBytes() const;

    // A press fills the output box while the window goes on: the picks and
    // the box's new text are made on another thread and shown all at once;
    // a long paste the same. True from a press (or paste) until its text is
    // in the box, or it was cancelled or failed. Meanwhile the commands that
    // would act on the output are refused with a message, and the box takes
    // no typing.
    bool isFilling() const { return fill_ != nullptr; }
    // Why a command must wait now (the other windows' commands too), or an
    // empty text when none has to.
    QString waitReason() const;
    // Stops a press: the box and the random source stay as they
    // were before it.
    void cancelFill();

signals:
    // File > Load, File > Save, About > Brenvask and File > Exit.
    void loadRequested();
    void saveRequested();
    void aboutRequested();
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    // Keeps the count box wide enough for its count in the font in effect.
    void fitCountBox();
    void onSelectClicked();
    void onCopyClicked();
    void onClearClicked();
    void onPasteRefused(qsizetype length);
    void onPasteTooManyLines(qint64 lines);
    void onLongPaste(const QString& text, int from, int to);
    void keepOnlyNumbers(QLineEdit* box);
    void warn(const QString& text);
    bool refusedWhileFilling();
    void startFill(const PressInput& input);
    void onFillFinished();
    void dropFill();

    DesktopServices& services_;
    // Owned by the window, as are the controls below.
    QWidget* client_ = nullptr;
    OutputBox* outputBox_ = nullptr;
    QLineEdit* countBox_ = nullptr;
    ProportionalLayout* layout_ = nullptr; // owned by the client area
    QSize sizedByFont_; // the window's size as the font in effect last set it
    QLineEdit* pathBox_ = nullptr;
    QLineEdit* picksBox_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    // The list as loaded: the path box's text then, the path's real bytes,
    // its number of words and the file as it stood when counted.
    QString loadedPath_;
    QByteArray loadedPathBytes_;
    std::uint64_t count_ = 0; // the words of the loaded list, as the count box shows them
    std::optional<FileIdentity> countedFile_;
    // The press or long paste being made, while it runs.
    std::unique_ptr<OutputFill> fill_;
    bool pasting_ = false; // the fill is a paste
};

} // namespace tavilon
