#pragma once

#include "core/errors/core_errors.h"
#include "platform/widgets/output_box.h"
#include "core/picking/random_source.h"
#include "core/picking/selection.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

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
    // What the work hands back: the new document, on the thread that made
    // the fill, and the random source after the draws; or why there is none.
    struct Result {
        std::optional<CoreError> error;
        std::unique_ptr<QTextDocument> document;
        RandomSource draws;
    };

    // The progress, out of ProgressTotal.
    static constexpr int ProgressTotal = 1000;

    // `rawBefore` is the box's text as OutputBox::rawText() gives it.
    OutputFill(PressInput input, RandomSource draws, OutputBox::DocumentLook look, QString rawBefore);
    // Cancels the work and waits for it.
    ~OutputFill() override;
    OutputFill(const OutputFill&) = delete;
    OutputFill& operator=(const OutputFill&) = delete;

    void start();
    // Asks the work to stop; finished() still follows, and the result is then
    // an error.
    void cancel();
    // After finished(): what the work made.
    Result takeResult();

signals:
    void progressChanged(int done);
    void finished();

private:
    PressInput input_;
    RandomSource draws_;
    OutputBox::DocumentLook look_;
    QString rawBefore_;
    bool cancelled_ = false;
    bool ended_ = false;
    QFutureWatcher<Result> watcher_;
};

} // namespace tavilon
