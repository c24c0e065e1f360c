#include "word_list_loading.h"

#include "busy_feedback.h"
#include "desktop_services.h"
#include "error_text.h"
#include "core/list/word_list.h"

#include <QPromise>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace tavilon {

namespace {

int runningCounts = 0;

// Progress travels as an int: byte counts are scaled to this range.
constexpr int ProgressTotal = 1'000'000;

} // namespace

WordListCount::WordListCount(QWidget* over, DesktopServices& services, const QString& shownPath,
                             const QByteArray& pathBytes)
    : QObject(over), over_(over), services_(services),
      feedback_(std::make_unique<BusyFeedback>(over, tr("Counting the words of %1…").arg(shownPath)))
{
    ++runningCounts;
    feedback_->setCancelHandler([this] { watcher_.cancel(); });
    connect(&watcher_, &QFutureWatcherBase::progressValueChanged, this, [this](int done) {
        if (feedback_ && !feedback_->update(std::uint64_t(done), ProgressTotal))
            watcher_.cancel();
    });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &WordListCount::onFinished);
    watcher_.setFuture(QtConcurrent::run([shownPath, pathBytes](QPromise<Result>& promise) {
        promise.setProgressRange(0, ProgressTotal);
        FileIdentity file;
        const auto progress = [&promise](std::uint64_t done, std::uint64_t total) {
            if (total > 0)
                promise.setProgressValue(int(std::min<std::uint64_t>(done, total) * ProgressTotal / total));
            return !promise.isCanceled();
        };
        const Outcome<std::uint64_t> counted = countWords(pathBytes.toStdString(), progress, nullptr, &file);
        Result result;
        if (counted)
            result.list = CountedList{shownPath, pathBytes, counted.value(), file};
        else if (counted.error().code != ErrorCode::Cancelled)
            result.error = errorText(counted.error());
        promise.addResult(std::move(result));
    }));
}

WordListCount::~WordListCount()
{
    watcher_.disconnect(this);
    watcher_.cancel();
    watcher_.waitForFinished();
    if (feedback_)
        --runningCounts;
}

bool WordListCount::anyRunning()
{
    return runningCounts > 0;
}

QString WordListCount::waitMessage()
{
    return tr("The word list is still being counted. Wait for it, or press Cancel to stop it.");
}

void WordListCount::onFinished()
{
    const bool cancelled = watcher_.isCanceled() || feedback_->cancelled() || watcher_.future().resultCount() == 0;
    const Result result = cancelled ? Result{} : watcher_.result();
    feedback_.reset();
    --runningCounts;
    if (!result.error.isEmpty())
        services_.showMessage(over_, DesktopServices::Icon::Warning,
                              tr("The word list was not loaded.\n\n%1").arg(result.error));
    if (result.list)
        emit counted(*result.list);
    deleteLater();
}

} // namespace tavilon
