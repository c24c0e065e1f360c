#include "busy_feedback.h"

#include <QApplication>
#include <QProgressDialog>

namespace tavilon {

BusyFeedback::BusyFeedback(QWidget* over, QString label) : over_(over), label_(std::move(label))
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    started_.start();
    lastUpdate_.start();
}

BusyFeedback::~BusyFeedback()
{
    dialog_.reset();
    QApplication::restoreOverrideCursor();
}

ProgressFn BusyFeedback::callback()
{
    return [this](std::uint64_t done, std::uint64_t total) { return report(done, total); };
}

bool BusyFeedback::report(std::uint64_t done, std::uint64_t total)
{
    // Keep the cost of feedback small: look at events every 50 ms.
    if (lastUpdate_.elapsed() < 50)
        return !cancelled_;
    lastUpdate_.restart();
    update(done, total);
    if (dialog_) {
        QApplication::processEvents();
        if (dialog_->wasCanceled())
            cancelled_ = true;
    }
    return !cancelled_;
}

bool BusyFeedback::update(std::uint64_t done, std::uint64_t total)
{
    if (!dialog_ && started_.elapsed() >= DialogDelayMs) {
        dialog_ = std::make_unique<QProgressDialog>(label_, QObject::tr("Cancel"), 0, 1000, over_);
        dialog_->setWindowTitle(QStringLiteral("Brenvask Tavilon"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->show();
    }
    if (dialog_) {
        const int value = total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(1000, done * 1000 / total));
        dialog_->setValue(value);
        if (dialog_->wasCanceled())
            cancelled_ = true;
    }
    return !cancelled_;
}

} // namespace tavilon
