#include "busy_feedback.h"

#include "nested_loop.h"

#include <QApplication>
#include <QProgressBar>
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
        const NestedLoop nested;
        QApplication::processEvents();
        if (dialog_->wasCanceled())
            cancelled_ = true;
    }
    return !cancelled_;
}

bool BusyFeedback::cancelled() const
{
    return cancelled_ || (dialog_ && dialog_->wasCanceled());
}

bool BusyFeedback::update(std::uint64_t done, std::uint64_t total)
{
    if (!dialog_ && started_.elapsed() >= DialogDelayMs) {
        dialog_ = std::make_unique<QProgressDialog>(label_, QCoreApplication::translate("BusyFeedback", "Cancel"), 0, 1000, over_);
        bar_ = new QProgressBar; // the dialog owns it from here on
        bar_->setRange(0, 1000);
        dialog_->setBar(bar_);
        dialog_->setWindowTitle(QStringLiteral("Brenvask Tavilon"));
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        QObject::connect(dialog_.get(), &QProgressDialog::canceled, [this] {
            cancelled_ = true;
            if (onCancel_)
                onCancel_();
        });
        dialog_->show();
    }
    if (dialog_) {
        // The bar itself: the dialog's setValue() would take events, and
        // with them perhaps the end of the work that is reporting.
        bar_->setValue(total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(1000, done * 1000 / total)));
        if (dialog_->wasCanceled())
            cancelled_ = true;
    }
    return !cancelled_;
}

} // namespace tavilon
