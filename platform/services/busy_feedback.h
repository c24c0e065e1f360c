#pragma once

#include "core/errors/progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QProgressBar;
class QProgressDialog;
class QWidget;

namespace tavilon {

// Feedback for long work: a wait cursor for as long as the object lives, and
// a progress dialog with Cancel once the work has run for about a second.
// Work that runs inside one event reports through callback(), which also
// lets the window take its events; work that runs elsewhere while the event
// loop goes on is shown by calling update() as it progresses.
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
    // Whether Cancel was pressed.
    bool cancelled() const;
    // Called when Cancel is pressed, for work that runs elsewhere.
    void setCancelHandler(std::function<void()> handler) { onCancel_ = std::move(handler); }

    static constexpr int DialogDelayMs = 1000;

private:
    bool report(std::uint64_t done, std::uint64_t total);

    QPointer<QWidget> over_;
    QString label_;
    QElapsedTimer started_;
    QElapsedTimer lastUpdate_;
    std::unique_ptr<QProgressDialog> dialog_;
    QProgressBar* bar_ = nullptr; // owned by the dialog
    std::function<void()> onCancel_;
    bool cancelled_ = false;
};

} // namespace tavilon
