#pragma once

#include "core/errors/file_identity.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

class QWidget;

namespace tavilon {

class BackgroundTask;
class DesktopServices;

// A counted word list: its path as shown and in the file system's own bytes
// (which differ for a name that is not valid UTF-8), its number of words, and
// the file as it stood when counted, which a press checks it still reads.
struct CountedList {
    QString path;
    QByteArray pathBytes;
    std::uint64_t count = 0;
    FileIdentity file;
};

// Counts a word list on another thread while the windows go on, with a wait
// cursor and, after a second, a progress window whose Cancel stops it. The
// result comes back on the window's thread: counted() with the list, or a
// message saying why it failed (nothing for a cancelled count). It belongs
// to the window `over` and deletes itself once done; deleted first, it
// cancels the count and waits for it.
class WordListCount : public QObject {
    Q_OBJECT
public:
    // `shownPath` is what messages show; `pathBytes` names the file.
    WordListCount(QWidget* over, DesktopServices& services, const QString& shownPath, const QByteArray& pathBytes);
    ~WordListCount() override;
    // Stops the count: it ends without a result or a message.
    void cancel();

    // Whether any count is running now: meanwhile no command starts.
    static bool anyRunning();
    // What a command that has to wait for a count says.
    static QString waitMessage();

signals:
    void counted(const tavilon::CountedList& list);

private:
    struct Result {
        std::optional<CountedList> list;
        QString error; // empty when counted or cancelled
    };
    void onFinished();

    QWidget* over_;
    DesktopServices& services_;
    Result result_; // written by the work, read once it has finished
    std::unique_ptr<BackgroundTask> task_; // goes first: it waits for the work
};

} // namespace tavilon
