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

// One press of "Select", or one long paste, done away from the window's
// thread: the output box's next document (its text so far with the picks
// after it, or with the pasted text in the place of its selection) is built
// beside the one it shows; a press first picks the words from a copy of the
// random source. The box and the program's random source change only when
// the window takes the result after the task has finished; a cancelled or
// failed fill leaves both exactly as they were.
class OutputFill {
public:
    // What the work hands back: the new document, on the thread that made
    // the fill, with the random source after a press's draws or the place
    // after a pasted text; or why there is none.
    struct Result {
        std::optional<CoreError> error;
        std::unique_ptr<QTextDocument> document;
        std::optional<RandomSource> draws;
        std::optional<int> pastedEnd;
    };

    // A press. `rawBefore` is the box's text as OutputBox::rawText() gives
    // it; the progress window shows `label` over `over`.
    OutputFill(QWidget* over, const QString& label, const PressInput& input, RandomSource draws,
               const OutputBox::DocumentLook& look, const QString& rawBefore);
    // A paste of `text` between `rawBefore` and `rawAfter`, the box's raw
    // text before and after the selection it replaces.
    OutputFill(QWidget* over, const QString& label, const QString& text, const OutputBox::DocumentLook& look,
               const QString& rawBefore, const QString& rawAfter);

    // The running work: cancel() stops it, finished() tells its end.
    BackgroundTask& task() { return *task_; }
    // After the task has finished: what the work made.
    Result takeResult();

private:
    Result result_; // written by the work, read once it has finished
    std::unique_ptr<BackgroundTask> task_; // goes first: it waits for the work
};

} // namespace tavilon
