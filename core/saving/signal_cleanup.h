#pragma once

#include <csignal>
#include <string>

namespace tavilon {

// Removes a temporary file when the program is ended by a signal while the
// file exists: SIGINT, SIGTERM, SIGHUP and SIGQUIT remove it, then end the
// program as that signal would have (or run the handler that was there
// before). A signal that the program ignores stays ignored. Signals are held
// back while a file is made and armed, so no signal falls between the two.
// SIGKILL and a power cut cannot be caught: they can leave the file behind.
class SignalCleanup {
public:
    // At most this many files are armed at once; more are not armed.
    static constexpr int Slots = 4;

    SignalCleanup() = default;
    ~SignalCleanup() { disarm(); }
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

    // Arms removal of `name` in the folder open as `folder`.
    void arm(int folder, const std::string& name);
    // Forgets the file: it was renamed into place or removed.
    void disarm();

private:
    int slot_ = -1;
};

// Holds back the signals that SignalCleanup handles while it lives.
class HeldEndingSignals {
public:
    HeldEndingSignals();
    ~HeldEndingSignals();
    HeldEndingSignals(const HeldEndingSignals&) = delete;
    HeldEndingSignals& operator=(const HeldEndingSignals&) = delete;

private:
    sigset_t previous_;
};

} // namespace tavilon
