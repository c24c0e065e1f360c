#include "output_fill.h"

#include "core_errors.h"

#include <QMetaObject>
#include <QTextDocument>
#include <QThread>

#include <new>

namespace tavilon {

namespace {

// The core's part of the progress: picking is quick next to filling the box.
constexpr std::uint64_t PickingShare = 200;

} // namespace

OutputFill::OutputFill(PressInput input, RandomSource draws, OutputBox::DocumentLook look, QString rawBefore)
    : input_(std::move(input)), draws_(draws), look_(std::move(look)), rawBefore_(std::move(rawBefore)),
      home_(QThread::currentThread())
{
}

OutputFill::~OutputFill()
{
    cancel();
    if (worker_.joinable())
        worker_.join();
}

void OutputFill::start()
{
    worker_ = std::thread([this] {
        work();
        // Queued to this object's thread; dropped if the fill is gone by then.
        QMetaObject::invokeMethod(this, &OutputFill::finished, Qt::QueuedConnection);
    });
}

std::unique_ptr<QTextDocument> OutputFill::takeDocument()
{
    return std::move(document_);
}

void OutputFill::work()
{
    try {
        const ProgressFn picking = [this](std::uint64_t done, std::uint64_t total) {
            progress_ = total == 0 ? 0 : std::min(done, total) * PickingShare / total;
            return !cancelRequested_;
        };
        auto picked = press(input_, draws_, picking);
        if (!picked) {
            error_ = picked.error();
            return;
        }
        result_.picks = picked.value().picks;
        const QString text = QString::fromUtf8(picked.value().words);
        picked.value().words = {}; // the words live on in `text` alone
        const OutputBox::BuildProgress filling = [this](qint64 done, qint64 total) {
            progress_ = PickingShare
                + (total <= 0 ? 0 : std::uint64_t(done) * (ProgressTotal - PickingShare) / std::uint64_t(total));
            return !cancelRequested_;
        };
        auto doc = OutputBox::buildDocument(look_, rawBefore_, text, filling);
        if (!doc || cancelRequested_) {
            error_ = cancelledError();
            return;
        }
        doc->moveToThread(home_);
        document_ = std::move(doc);
    } catch (const std::bad_alloc&) {
        error_ = outOfMemoryError();
    }
}

} // namespace tavilon
