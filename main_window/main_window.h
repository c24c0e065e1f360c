#pragma once

#include "control_table.h"
#include "file_identity.h"
#include "output_box.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <optional>

class QLineEdit;
class QPushButton;
class QGroupBox;

namespace tavilon {

class WindowRegistry;
class OutputBox;
class OutputFill;
class BusyFeedback;
namespace layout {
class QtLayoutForm;
}

// The main window: the word list's path and count, the number of picks,
// the buttons, the output box and the menu. Its boxes are the state that
// the other windows share.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The widest and tallest the window gets. Painting a window needs an
    // image of width x height x 4 bytes: at 16384 x 16384 that is 1 GiB,
    // while 65535 x 65535 would need 17 GB and brings the program down.
    // The bound still covers a few of today's largest screens side by side.
    static constexpr int MaxWindowSide = 16384;

    explicit MainWindow(WindowRegistry& windows);
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

    // A counted word list, shown as the open dialog's "Ok" shows it.
    // `pathBytes` are the file system's own bytes of the path, when the path
    // as shown cannot say them (a name that is not valid UTF-8). With the
    // counted file given, a press picks only while the path box still names
    // that file, unchanged.
    void showCountedList(const QString& path, std::uint64_t count, const QByteArray& pathBytes = {},
                         const std::optional<FileIdentity>& countedFile = std::nullopt);
    // The loaded word list's path in the file system's own bytes: the bytes
    // kept from loading while the path box still shows that path, otherwise
    // the path box's text.
    QByteArray loadedPathBytes() const;

    // A press of more picks than this fills the output box while the window
    // goes on: the picks and the box's new text are made on another thread
    // and shown all at once. Smaller presses finish inside the click.
    static constexpr std::uint64_t BackgroundPicks = 10'000;

    // True from a background press until its picks are in the box, or it
    // was cancelled or failed. Meanwhile the commands that would act on the
    // output are refused with a message, and the box takes no typing.
    bool isFilling() const { return fill_ != nullptr; }
    // Stops a background press: the box and the random source stay as they
    // were before it.
    void cancelFill();

    // What the buttons, boxes and menu items do.
    void onSelectClicked();
    void onCopyClicked();
    void onClearClicked();
    void onCountChanged();
    void onPicksChanged();
    void onPasteRefused(qsizetype length);
    void onLoadTriggered();
    void onSaveTriggered();
    void onAboutTriggered();
    void onExitTriggered();
    void onClientResized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    void changeCheck(QLineEdit* box);
    void warn(const QString& text);
    bool refusedWhileFilling();
    void startFill(const PressInput& input);
    void onFillTick();
    void onFillFinished();

    WindowRegistry& windows_;
    QWidget* client_ = nullptr; // owned by the window
    ControlTable controls_;
    QString loadedPath_;       // the path box's text when the list was loaded
    QByteArray loadedPathBytes_; // and the real bytes of that path
    std::uint64_t count_ = 0;  // the words of the loaded list, as the count box shows them
    std::optional<FileIdentity> countedFile_; // the file as it stood when counted
    // Owned by the client area; looked up once, when the controls are built.
    OutputBox* outputBox_ = nullptr;
    QLineEdit* countBox_ = nullptr;
    QLineEdit* pathBox_ = nullptr;
    QLineEdit* picksBox_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QPushButton* selectButton_ = nullptr;
    std::unique_ptr<layout::QtLayoutForm> layoutForm_;
    // A background press: its work, its feedback and the timer that shows it.
    std::unique_ptr<BusyFeedback> fillFeedback_;
    std::unique_ptr<OutputFill> fill_;
    QTimer fillTimer_;
    bool inFillTick_ = false;
};

} // namespace tavilon
