#include "word_list_loading.h"

#include "background_task.h"
#include "desktop_services.h"
#include "error_text.h"
#include "core/list/word_list.h"

#include <QWidget>

namespace tavilon {

namespace {

int runningCounts = 0;

} // namespace

WordListCount::WordListCount(QWidget* over, DesktopServices& services, const QString& shownPath,
                             const QByteArray& pathBytes)
    : QObject(over), over_(over), services_(services)
{
    ++runningCounts;
    task_ = std::make_unique<BackgroundTask>(
        over, tr("Counting the words of %1…").arg(shownPath), [this, shownPath, pathBytes](const ProgressFn& progress) {
            FileIdentity file;
            const Outcome<std::uint64_t> counted = countWords(pathBytes.toStdString(), progress, nullptr, &file);
            if (counted)
                result_.list = CountedList{shownPath, pathBytes, counted.value(), file};
            else if (counted.error().code != ErrorCode::Cancelled)
                result_.error = errorText(counted.error());
        });
    connect(task_.get(), &BackgroundTask::finished, this, &WordListCount::onFinished);
}

WordListCount::~WordListCount()
{
    if (task_)
        --runningCounts;
}

void WordListCount::cancel()
{
    if (task_)
        task_->cancel();
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
    const Result result = task_->wasCancelled() ? Result{} : result_;
    task_.reset();
    --runningCounts;
    deleteLater();
    if (!result.error.isEmpty())
        services_.showMessage(over_, DesktopServices::Icon::Warning,
                              tr("The word list was not loaded.\n\n%1").arg(result.error));
    if (result.list)
        emit counted(*result.list);
}

} // namespace tavilon
