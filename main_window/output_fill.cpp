#include "output_fill.h"

#include <QPromise>
#include <QTextDocument>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <new>

namespace tavilon {

namespace {

// The core's part of the progress: picking is quick next to filling the box.
constexpr int PickingShare = 200;

int share(std::uint64_t done, std::uint64_t total, int from, int to)
{
    return total == 0 ? from : from + int(std::min(done, total) * std::uint64_t(to - from) / total);
}

OutputFill::Result fill(QPromise<OutputFill::Result>& promise, const PressInput& input, RandomSource draws,
                        const OutputBox::DocumentLook& look, const QString& rawBefore, QThread* home)
{
    OutputFill::Result result;
    try {
        const ProgressFn picking = [&](std::uint64_t done, std::uint64_t total) {
            promise.setProgressValue(share(done, total, 0, PickingShare));
            return !promise.isCanceled();
        };
        auto picked = press(input, draws, picking);
        if (!picked) {
            result.error = picked.error();
            return result;
        }
        const QString text = QString::fromUtf8(picked.value().words);
        picked.value().words = {}; // the words live on in `text` alone
        const OutputBox::BuildProgress filling = [&](qint64 done, qint64 total) {
            promise.setProgressValue(share(std::uint64_t(std::max<qint64>(done, 0)),
                                           std::uint64_t(std::max<qint64>(total, 0)), PickingShare,
                                           OutputFill::ProgressTotal));
            return !promise.isCanceled();
        };
        auto document = OutputBox::buildDocument(look, rawBefore, text, filling);
        if (!document || promise.isCanceled()) {
            result.error = cancelledError();
            return result;
        }
        document->moveToThread(home);
        result.document = std::move(document);
        result.draws = draws;
    } catch (const std::bad_alloc&) {
        result.error = outOfMemoryError();
    }
    return result;
}

} // namespace

OutputFill::OutputFill(PressInput input, RandomSource draws, OutputBox::DocumentLook look, QString rawBefore)
    : input_(std::move(input)), draws_(draws), look_(std::move(look)), rawBefore_(std::move(rawBefore))
{
    connect(&watcher_, &QFutureWatcher<Result>::progressValueChanged, this, &OutputFill::progressChanged);
    connect(&watcher_, &QFutureWatcher<Result>::finished, this, [this] {
        ended_ = true;
        emit finished();
    });
}

OutputFill::~OutputFill()
{
    // Once the work has ended its future may have handed its result over,
    // and must not be waited for.
    if (ended_)
        return;
    watcher_.disconnect(this);
    QFuture<Result> future = watcher_.future();
    future.cancel();
    future.waitForFinished();
}

void OutputFill::start()
{
    QThread* home = QThread::currentThread();
    watcher_.setFuture(QtConcurrent::run([this, home](QPromise<Result>& promise) {
        promise.setProgressRange(0, ProgressTotal);
        promise.addResult(fill(promise, input_, draws_, look_, rawBefore_, home));
    }));
}

void OutputFill::cancel()
{
    cancelled_ = true;
    watcher_.cancel();
}

OutputFill::Result OutputFill::takeResult()
{
    QFuture<Result> future = watcher_.future();
    if (cancelled_ || future.isCanceled() || future.resultCount() == 0) {
        Result cancelled;
        cancelled.error = cancelledError();
        return cancelled;
    }
    return future.takeResult();
}

} // namespace tavilon
