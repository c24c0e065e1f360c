#pragma once

#include "output_box.h"
#include "random_source.h"
#include "selection.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>

class QTextDocument;
class QThread;

namespace tavilon {

// One press of "Select" done away from the window's thread: the core picks
// the words from a copy of the random source, and the output box's next
// document (its text so far followed by the picks) is built beside the one
// it shows. The box and the program's random source change only when the
// window takes the result after finished(); a cancelled or failed fill
// leaves both exactly as they were.
class OutputFill : public QObject {
    Q_OBJECT
public:
    // `rawBefore` is the box's text as OutputBox::rawText() gives it.
    OutputFill(PressInput input, RandomSource draws, OutputBox::DocumentLook look, QString rawBefore);
    // Asks the work to stop and waits for it.
    ~OutputFill() override;
    OutputFill(const OutputFill&) = delete;
    OutputFill& operator=(const OutputFill&) = delete;

    void start();
    // Asks the work to stop; finished() still follows, unless the fill is
    // destroyed first.
    void cancel() { cancelRequested_ = true; }
    bool cancelRequested() const { return cancelRequested_; }

    // The work done so far, out of ProgressTotal.
    static constexpr std::uint64_t ProgressTotal = 1000;
    std::uint64_t progress() const { return progress_; }

    // After finished(): the error (ErrorCode::Cancelled when stopped), or the
    // new document, the source's state after the draws and the press.
    const std::optional<CoreError>& error() const { return error_; }
    std::unique_ptr<QTextDocument> takeDocument();
    const RandomSource& draws() const { return draws_; }
    const PressResult& result() const { return result_; }

signals:
    // Emitted on the window's thread once the work has ended.
    void finished();

private:
    void work();

    PressInput input_;
    RandomSource draws_;
    OutputBox::DocumentLook look_;
    QString rawBefore_;
    QThread* home_; // the thread the document goes to
    std::atomic<bool> cancelRequested_ = false;
    std::atomic<std::uint64_t> progress_ = 0;
    // Written by the work before it ends, read after finished().
    std::optional<CoreError> error_;
    PressResult result_;
    std::unique_ptr<QTextDocument> document_;
    std::thread worker_;
};

} // namespace tavilon
