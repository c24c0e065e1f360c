#pragma once

#include "progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace tavilon {

// Feedback for long work: a wait cursor for as long as the object lives, and
// a progress dialog with Cancel once the work has run for about a second.
// Work that runs inside one event reports through callback(), which also
// lets the window take its events; work that runs elsewhere while the event
// loop goes on is shown by calling update() now and then.
class BusyFeedback {
public:
    BusyFeedback(QWidget* over, QString label);
    ~BusyFeedback();
    BusyFeedback(const BusyFeedback&) = delete;
    BusyFeedback& operator=(const BusyFeedback&) = delete;

    ProgressFn callback();
    // Shows the progress (after the first second) without taking events;
    // false once Cancel was pressed.
    bool update(std::uint64_t done, std::uint64_t total);
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
