#pragma once

#include "core/errors/core_errors.h"
#include "core/picking/random_source.h"
#include "core/picking/selection.h"
#include "platform/services/background_task.h"
#include "platform/widgets/output_box.h"

#include <QString>

#include <memory>
#include <optional>

class QTextDocument;

namespace tavilon {

// One press of "Select", done away from the window's thread: the core picks
// the words from a copy of the random source, and the output box's next
// document (its text so far followed by the picks) is built beside the one
// it shows. The box and the program's random source change only when the
// window takes the result after the task has finished; a cancelled or
// failed fill leaves both exactly as they were.
class OutputFill {
public:
    // What the work hands back: the new document, on the thread that made
    // the fill, and the random source after the draws; or why there is none.
    struct Result {
        std::optional<CoreError> error;
        std::unique_ptr<QTextDocument> document;
        RandomSource draws;
    };

    // `rawBefore` is the box's text as OutputBox::rawText() gives it; the
    // progress window shows `label` over `over`.
    OutputFill(QWidget* over, const QString& label, const PressInput& input, RandomSource draws,
               const OutputBox::DocumentLook& look, const QString& rawBefore);

    // The running work: cancel() stops it, finished() tells its end.
    BackgroundTask& task() { return *task_; }
    // After the task has finished: what the work made.
    Result takeResult();

private:
    Result result_; // written by the work, read once it has finished
    std::unique_ptr<BackgroundTask> task_; // goes first: it waits for the work
};

} // namespace tavilon
