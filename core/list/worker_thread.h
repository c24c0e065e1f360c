#pragma once

#include <functional>
#include <memory>
#include <pthread.h>

namespace tavilon {

// A thread for a short piece of plain work, joined when the object goes.
// Its stack is small: the stack of a finished thread stays reserved for the
// next one, and a full-size one would count against a process that is
// given little address space.
class WorkerThread {
public:
    // Starts `work`; throws std::system_error when no thread can be started.
    explicit WorkerThread(std::function<void()> work);
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

private:
    std::unique_ptr<std::function<void()>> work_;
    pthread_t thread_ {};
};

} // namespace tavilon
