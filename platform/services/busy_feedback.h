#pragma once

#include "progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace tavilon {

// Feedback for work that runs inside one event: a wait cursor for as long as
// the object lives, and a progress dialog with Cancel once the work has run
// for about a second. callback() hands the core its progress function.
class BusyFeedback {
public:
    BusyFeedback(QWidget* over, QString label);
    ~BusyFeedback();
    BusyFeedback(const BusyFeedback&) = delete;
    BusyFeedback& operator=(const BusyFeedback&) = delete;

    ProgressFn callback();
    bool cancelled() const { return cancelled_; }

    static constexpr int DialogDelayMs = 1000;

private:
    bool report(std::uint64_t done, std::uint64_t total);

    QPointer<QWidget> over_;
    QString label_;
    QElapsedTimer started_;
    QElapsedTimer lastUpdate_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
};

} // namespace tavilon
