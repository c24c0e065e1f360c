#include "signal_cleanup.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace tavilon {

namespace {

// Signals that end the program by default and may come at any moment.
constexpr int Asynchronous[] = {
    SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU,
#ifdef SIGIO
    SIGIO, // SIGPOLL
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
};
// Signals a fault of the program raises (or that are sent as if it had).
constexpr int Faults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};
constexpr std::size_t MaxName = 256;

sigset_t endingSignals(bool withFaults)
{
    sigset_t set;
    sigemptyset(&set);
    for (int sig : Asynchronous)
        sigaddset(&set, sig);
#ifdef SIGRTMIN
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig)
        sigaddset(&set, sig);
#endif
    if (withFaults) {
        for (int sig : Faults)
            sigaddset(&set, sig);
    }
    return set;
}

enum class Undo { RemoveName, PutBack };

// What the handler reads. A slot is filled before it is marked armed and
// marked free before it is reused, so the handler never sees half of it.
struct Slot {
    std::atomic<bool> armed{false};
    bool used = false; // taken by a SignalCleanup; only under setupMutex
    Undo undo = Undo::RemoveName;
    int fd = -1;       // the folder of the name, or the file to put back
    char name[MaxName] = {};
    const char* bytes = nullptr;
    std::size_t size = 0;
    off_t oldSize = 0;
    std::atomic<std::uint64_t> reached{0};
    pthread_t writer{};
};

Slot slots[SignalCleanup::Slots];
std::mutex setupMutex;
int users = 0;
struct sigaction previousActions[NSIG];
bool installed[NSIG] = {};
struct sigaction previousFileSize {};

// Writes the old bytes back as far as the save may have reached, then the
// old size; only calls that are safe in a signal handler.
void putBack(const Slot& slot)
{
    const auto end = static_cast<std::size_t>(std::min<std::uint64_t>(slot.reached.load(), slot.size));
    for (std::size_t at = 0; at < end;) {
        const ssize_t put = ::pwrite(slot.fd, slot.bytes + at, end - at, static_cast<off_t>(at));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            break; // past the file-size limit, the save could not write either
        at += static_cast<std::size_t>(put);
    }
    if (::ftruncate(slot.fd, slot.oldSize) == 0)
        ::fsync(slot.fd);
}

void onEndingSignal(int sig, siginfo_t*, void*)
{
    const int savedErrno = errno;
    for (Slot& slot : slots) {
        if (!slot.armed.load())
            continue;
        if (slot.undo == Undo::PutBack && !pthread_equal(slot.writer, pthread_self())) {
            // The writing thread puts its file back itself, once its current
            // write is done: then no write of the save runs meanwhile.
            ::pthread_kill(slot.writer, sig);
            errno = savedErrno;
            return;
        }
        if (!slot.armed.exchange(false))
            continue;
        if (slot.undo == Undo::RemoveName)
            ::unlinkat(slot.fd, slot.name, 0);
        else
            putBack(slot);
    }
    // End as the signal would have: it is held while this runs, so it is
    // delivered again, with the default action, once this returns.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(sig, &byDefault, nullptr);
    ::raise(sig);
}

// Installs the handler for each ending signal left at its default action,
// and ignores SIGXFSZ.
void install()
{
    struct sigaction ours {};
    ours.sa_sigaction = onEndingSignal;
    ours.sa_flags = SA_SIGINFO | SA_RESTART;
    ours.sa_mask = endingSignals(true);
    for (int sig = 1; sig < NSIG; ++sig) {
        struct sigaction current {};
        if (sigismember(&ours.sa_mask, sig) != 1 || ::sigaction(sig, nullptr, &current) != 0
            || (current.sa_flags & SA_SIGINFO) || current.sa_handler != SIG_DFL)
            continue;
        previousActions[sig] = current;
        installed[sig] = ::sigaction(sig, &ours, nullptr) == 0;
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, &previousFileSize);
}

void uninstall()
{
    for (int sig = 1; sig < NSIG; ++sig) {
        if (installed[sig])
            ::sigaction(sig, &previousActions[sig], nullptr);
        installed[sig] = false;
    }
    ::sigaction(SIGXFSZ, &previousFileSize, nullptr);
}

} // namespace

bool SignalCleanup::take(bool wantSlot)
{
    if (users++ == 0)
        install();
    counted_ = true;
    for (int i = 0; wantSlot && i < Slots; ++i) {
        if (!slots[i].used) {
            slots[i].used = true;
            slot_ = i;
            return true;
        }
    }
    return false;
}

void SignalCleanup::arm(int folder, const std::string& name)
{
    disarm();
    std::lock_guard lock(setupMutex);
    if (!take(name.size() < MaxName))
        return;
    Slot& slot = slots[slot_];
    slot.undo = Undo::RemoveName;
    slot.fd = folder;
    std::memcpy(slot.name, name.c_str(), name.size() + 1);
    slot.armed.store(true);
}

void SignalCleanup::armPutBack(int file, std::string_view oldBytes, std::uint64_t oldSize)
{
    disarm();
    std::lock_guard lock(setupMutex);
    if (!take(true))
        return;
    Slot& slot = slots[slot_];
    slot.undo = Undo::PutBack;
    slot.fd = file;
    slot.bytes = oldBytes.data();
    slot.size = oldBytes.size();
    slot.oldSize = static_cast<off_t>(oldSize);
    slot.reached.store(0);
    slot.writer = pthread_self();
    slot.armed.store(true);
}

void SignalCleanup::reach(std::uint64_t end)
{
    if (slot_ >= 0)
        slots[slot_].reached.store(end);
}

void SignalCleanup::disarm()
{
    if (!counted_)
        return;
    std::lock_guard lock(setupMutex);
    if (slot_ >= 0) {
        slots[slot_].armed.store(false);
        slots[slot_].used = false;
        slot_ = -1;
    }
    counted_ = false;
    if (--users == 0)
        uninstall();
}

HeldEndingSignals::HeldEndingSignals()
{
    const sigset_t held = endingSignals(false);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

HeldEndingSignals::~HeldEndingSignals()
{
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace tavilon
