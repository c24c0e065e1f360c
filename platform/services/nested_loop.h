#pragma once

#include <QObject>

namespace tavilon {

// Tells when the last nested loop has ended.
class NestedLoopNotifier : public QObject {
    Q_OBJECT
signals:
    void allEnded();
};

// Marks code that runs an event loop of its own inside a command: a modal
// message, or long work that lets the windows take their events. While one
// runs, the code that started it is still on the stack, so its window must
// not be destroyed: closing waits until the last nested loop has ended.
class NestedLoop {
public:
    NestedLoop();
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

    // How many nested loops are running now.
    static int depth();
    // Emits allEnded() each time the last nested loop ends.
    static NestedLoopNotifier& notifier();
};

} // namespace tavilon
