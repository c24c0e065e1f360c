#include "fault_guard.h"

#ifdef _WIN32

namespace tavilon {

bool runGuardedScan(PlainScanFn scan, void* context)
{
    scan(context);
    return true;
}

} // namespace tavilon

#else

#include <csetjmp>
#include <csignal>
#include <mutex>

namespace tavilon {

namespace {

// The jump buffer of the guarded scan running on this thread, if any.
thread_local sigjmp_buf* armedJump = nullptr;

// The handler is installed while at least one thread scans; the disposition
// it replaced comes back when the last one is done.
std::mutex installMutex;
int installCount = 0;
struct sigaction previousAction {};

void onBusError(int, siginfo_t*, void*)
{
    if (sigjmp_buf* jump = armedJump) {
        armedJump = nullptr;
        siglongjmp(*jump, 1);
    }
    // Not a guarded scan: put the earlier disposition back, so that the
    // fault, raised again on return, is handled as it would have been.
    sigaction(SIGBUS, &previousAction, nullptr);
}

class HandlerInstalled {
public:
    HandlerInstalled()
    {
        std::lock_guard lock(installMutex);
        if (installCount++ == 0) {
            struct sigaction action {};
            action.sa_sigaction = onBusError;
            action.sa_flags = SA_SIGINFO;
            sigemptyset(&action.sa_mask);
            sigaction(SIGBUS, &action, &previousAction);
        }
    }
    ~HandlerInstalled()
    {
        std::lock_guard lock(installMutex);
        if (--installCount == 0)
            sigaction(SIGBUS, &previousAction, nullptr);
    }
    HandlerInstalled(const HandlerInstalled&) = delete;
    HandlerInstalled& operator=(const HandlerInstalled&) = delete;
};

// Holds no object with a destructor: a fault jumps back into this frame.
[[gnu::noinline]] bool jumpBackOnFault(PlainScanFn scan, void* context)
{
    sigjmp_buf jump;
    if (sigsetjmp(jump, 1) != 0)
        return false; // the handler disarmed the buffer before jumping
    armedJump = &jump;
    scan(context);
    armedJump = nullptr;
    return true;
}

} // namespace

bool runGuardedScan(PlainScanFn scan, void* context)
{
    HandlerInstalled installed;
    return jumpBackOnFault(scan, context);
}

} // namespace tavilon

#endif
