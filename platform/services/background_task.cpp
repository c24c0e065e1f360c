#include "background_task.h"

#include "desktop_services.h"
#include "platform/tables/screen_fit.h"

#include <QApplication>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPromise>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace tavilon {

namespace {

// Progress travels as an int: the work's own counts are scaled to this range.
constexpr int ProgressTotal = 1000;

} // namespace

BackgroundTask::BackgroundTask(QWidget* over, QString label, Work work) : over_(over), label_(std::move(label))
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    started_.start();
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, &BackgroundTask::showProgress);
    // The wait cursor lasts while the owner takes the result; an owner
    // that deletes the task then ends it with it.
    connect(&watcher_, &QFutureWatcherBase::finished, this, [this] {
        const QPointer<BackgroundTask> alive(this);
        emit finished();
        if (alive)
            endFeedback();
    });
    watcher_.setFuture(QtConcurrent::run([work = std::move(work)](QPromise<void>& promise) {
        promise.setProgressRange(0, ProgressTotal);
        work([&promise](std::uint64_t done, std::uint64_t total) {
            if (total > 0)
                promise.setProgressValue(int(std::min(done, total) * ProgressTotal / total));
            return !promise.isCanceled();
        });
    }));
}

BackgroundTask::~BackgroundTask()
{
    watcher_.disconnect(this);
    watcher_.cancel();
    watcher_.waitForFinished();
    endFeedback();
}

void BackgroundTask::cancel()
{
    cancelled_ = true;
    watcher_.cancel();
}

void BackgroundTask::showProgress(int done)
{
    if (!dialog_ && started_.elapsed() >= DialogDelayMs && !cancelled_) {
        dialog_ = std::make_unique<QProgressDialog>(label_, tr("Cancel"), 0,
                                                    ProgressTotal, over_);
        // A long label (a deep folder's path) loses its middle, so that the
        // window stays narrower than its screen.
        const QScreen* screen = over_ ? over_->screen() : QGuiApplication::primaryScreen();
        if (screen)
            dialog_->setLabelText(dialog_->fontMetrics().elidedText(label_, Qt::ElideMiddle,
                                                                    screen->availableGeometry().width() * 2 / 3));
        bar_ = new QProgressBar; // the dialog owns it from here on
        bar_->setRange(0, ProgressTotal);
        dialog_->setBar(bar_);
        dialog_->setWindowTitle(applicationTitle());
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        connect(dialog_.get(), &QProgressDialog::canceled, this, &BackgroundTask::cancel);
        ScreenFit::keep(dialog_.get());
        dialog_->show();
    }
    // The bar itself: the dialog's own setValue() would take events.
    if (bar_)
        bar_->setValue(done);
}

void BackgroundTask::endFeedback()
{
    bar_ = nullptr;
    dialog_.reset();
    if (std::exchange(cursorShown_, false))
        QApplication::restoreOverrideCursor();
}

} // namespace tavilon
