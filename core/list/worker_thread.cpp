#include "worker_thread.h"

#include <system_error>

namespace tavilon {

namespace {

constexpr std::size_t StackSize = 256u << 10;

extern "C" void* runWork(void* work)
{
    (*static_cast<std::function<void()>*>(work))();
    return nullptr;
}

} // namespace

WorkerThread::WorkerThread(std::function<void()> work)
    : work_(std::make_unique<std::function<void()>>(std::move(work)))
{
    pthread_attr_t attributes;
    int error = pthread_attr_init(&attributes);
    if (error == 0) {
        pthread_attr_setstacksize(&attributes, StackSize);
        error = pthread_create(&thread_, &attributes, runWork, work_.get());
        pthread_attr_destroy(&attributes);
    }
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "cannot start a thread");
}

WorkerThread::~WorkerThread() { pthread_join(thread_, nullptr); }


} // namespace tavilon
