#include "signal_cleanup.h"

#include <atomic>
#include <cstring>
#include <mutex>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

namespace tavilon {

namespace {

constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr std::size_t MaxName = 256;

// What the handler reads. A slot is filled before it is marked armed and
// marked free before it is reused, so the handler never sees half a name.
struct Slot {
    std::atomic<bool> armed{false};
    int folder = -1;
    char name[MaxName] = {};
};

Slot slots[SignalCleanup::Slots];
std::mutex setupMutex;
int armedCount = 0;
struct sigaction previousActions[std::size(EndingSignals)];
bool installed[std::size(EndingSignals)] = {};

std::size_t indexOf(int sig)
{
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
        if (EndingSignals[i] == sig)
            return i;
    }
    return 0;
}

void onEndingSignal(int sig, siginfo_t* info, void* context)
{
    for (Slot& slot : slots) {
        if (slot.armed.exchange(false))
            ::unlinkat(slot.folder, slot.name, 0); // async-signal-safe
    }
    const struct sigaction& previous = previousActions[indexOf(sig)];
    if (previous.sa_flags & SA_SIGINFO) {
        if (previous.sa_sigaction)
            previous.sa_sigaction(sig, info, context);
        return;
    }
    if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
        previous.sa_handler(sig);
        return;
    }
    // End as the signal would have: it is blocked while this runs, so it
    // is delivered again, with the default action, once this returns.
    ::sigaction(sig, &previous, nullptr);
    ::raise(sig);
}

// Installs the handler for each signal the program does not ignore.
void install()
{
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
        struct sigaction current {};
        ::sigaction(EndingSignals[i], nullptr, &current);
        if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN)
            continue;
        struct sigaction ours {};
        ours.sa_sigaction = onEndingSignal;
        ours.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&ours.sa_mask);
        previousActions[i] = current;
        installed[i] = ::sigaction(EndingSignals[i], &ours, nullptr) == 0;
    }
}

void uninstall()
{
    for (std::size_t i = 0; i < std::size(EndingSignals); ++i) {
        if (installed[i])
            ::sigaction(EndingSignals[i], &previousActions[i], nullptr);
        installed[i] = false;
    }
}

} // namespace

void SignalCleanup::arm(int folder, const std::string& name)
{
    disarm();
    if (name.size() >= MaxName)
        return;
    std::lock_guard lock(setupMutex);
    for (int i = 0; i < Slots; ++i) {
        Slot& slot = slots[i];
        if (slot.armed.load() || slot.folder != -1)
            continue;
        slot.folder = folder;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        if (armedCount++ == 0)
            install();
        slot.armed.store(true);
        slot_ = i;
        return;
    }
}

void SignalCleanup::disarm()
{
    if (slot_ < 0)
        return;
    std::lock_guard lock(setupMutex);
    Slot& slot = slots[slot_];
    slot.armed.store(false);
    slot.folder = -1;
    if (--armedCount == 0)
        uninstall();
    slot_ = -1;
}

HeldEndingSignals::HeldEndingSignals()
{
    sigset_t held;
    sigemptyset(&held);
    for (int sig : EndingSignals)
        sigaddset(&held, sig);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

HeldEndingSignals::~HeldEndingSignals()
{
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace tavilon
