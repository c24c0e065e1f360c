#include "output_fill.h"

#include <QTextDocument>
#include <QThread>

#include <algorithm>
#include <new>

namespace tavilon {

namespace {

// The progress, out of ProgressTotal, of which picking takes the first
// PickingShare: it is quick next to filling the box.
constexpr std::uint64_t ProgressTotal = 1000;
constexpr std::uint64_t PickingShare = 200;

std::uint64_t share(std::uint64_t done, std::uint64_t total, std::uint64_t from, std::uint64_t to)
{
    return total == 0 ? from : from + std::min(done, total) * (to - from) / total;
}

OutputFill::Result fill(const ProgressFn& progress, const PressInput& input, RandomSource draws,
                        const OutputBox::DocumentLook& look, const QString& rawBefore, QThread* home)
{
    OutputFill::Result result;
    try {
        const ProgressFn picking = [&](std::uint64_t done, std::uint64_t total) {
            return progress(share(done, total, 0, PickingShare), ProgressTotal);
        };
        auto picked = press(input, draws, picking);
        if (!picked) {
            result.error = picked.error();
            return result;
        }
        const QString text = QString::fromUtf8(picked.value().words);
        picked.value().words = {}; // the words live on in `text` alone
        const OutputBox::BuildProgress filling = [&](qint64 done, qint64 total) {
            return progress(share(std::uint64_t(std::max<qint64>(done, 0)), std::uint64_t(std::max<qint64>(total, 0)),
                                  PickingShare, ProgressTotal),
                            ProgressTotal);
        };
        auto document = OutputBox::buildDocument(look, rawBefore, text, filling);
        if (!document) {
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

OutputFill::Result paste(const ProgressFn& progress, const QString& text, const OutputBox::DocumentLook& look,
                         const QString& rawBefore, const QString& rawAfter, QThread* home)
{
    OutputFill::Result result;
    try {
        const OutputBox::BuildProgress building = [&](qint64 done, qint64 total) {
            return progress(std::uint64_t(std::max<qint64>(done, 0)), std::uint64_t(std::max<qint64>(total, 0)));
        };
        // The text after the selection follows the pasted text: its block
        // ends (U+2029) end blocks there too.
        auto document = OutputBox::buildDocument(look, rawBefore, text + rawAfter, building);
        if (!document) {
            result.error = cancelledError();
            return result;
        }
        result.pastedEnd = document->characterCount() - 1 - int(rawAfter.size());
        document->moveToThread(home);
        result.document = std::move(document);
    } catch (const std::bad_alloc&) {
        result.error = outOfMemoryError();
    }
    return result;
}

} // namespace

OutputFill::OutputFill(QWidget* over, const QString& label, const QString& text, const OutputBox::DocumentLook& look,
                       const QString& rawBefore, const QString& rawAfter)
{
    QThread* home = QThread::currentThread();
    task_ = std::make_unique<BackgroundTask>(
        over, label, [this, text, look, rawBefore, rawAfter, home](const ProgressFn& progress) {
            result_ = paste(progress, text, look, rawBefore, rawAfter, home);
        });
}

OutputFill::OutputFill(QWidget* over, const QString& label, const PressInput& input, RandomSource draws,
                       const OutputBox::DocumentLook& look, const QString& rawBefore)
{
    QThread* home = QThread::currentThread();
    task_ = std::make_unique<BackgroundTask>(
        over, label, [this, input, draws, look, rawBefore, home](const ProgressFn& progress) {
            result_ = fill(progress, input, draws, look, rawBefore, home);
        });
}

OutputFill::Result OutputFill::takeResult()
{
    if (task_->wasCancelled()) {
        Result cancelled;
        cancelled.error = cancelledError();
        return cancelled;
    }
    return std::move(result_);
}

} // namespace tavilon
