#pragma once

#include "core/errors/progress.h"

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace tavilon {

// Work that runs on another thread while the windows go on taking their
// events: a wait cursor at once and, once the work has run for a second, a
// progress window over `over` whose Cancel stops it. The work reports its
// progress through the function it is given, which returns false once it
// should stop; what it makes it keeps where its owner reads it after
// finished(), which comes on the thread that started it.
class BackgroundTask : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(const ProgressFn& progress)>;

    BackgroundTask(QWidget* over, QString label, Work work);
    // Cancels the work and waits for it.
    ~BackgroundTask() override;
    BackgroundTask(const BackgroundTask&) = delete;
    BackgroundTask& operator=(const BackgroundTask&) = delete;

    // Asks the work to stop; finished() still follows.
    void cancel();
    // Whether the work was asked to stop, by cancel() or Cancel.
    bool wasCancelled() const { return cancelled_; }

    static constexpr int DialogDelayMs = 1000;

signals:
    void finished();

private:
    void showProgress(int done);
    void endFeedback();

    QPointer<QWidget> over_;
    QString label_;
    QElapsedTimer started_;
    std::unique_ptr<QProgressDialog> dialog_;
    QProgressBar* bar_ = nullptr; // owned by the dialog
    bool cursorShown_ = true;
    bool cancelled_ = false;
    QFutureWatcher<void> watcher_;
};

} // namespace tavilon
