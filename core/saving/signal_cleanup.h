#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavilon {

// Undoes an unfinished save when a signal ends the program during it. While
// one is armed, every signal whose default action ends the program (SIGHUP,
// SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, the user, timer and real-time
// signals, and the faults but SIGBUS) first removes the temporary file, or
// puts back the old bytes of a file rewritten in place, and then ends the
// program as that signal would have. A signal that the program ignores or
// handles itself is left to it. SIGXFSZ is ignored meanwhile, so that a write
// past the file-size limit fails with EFBIG and the save can undo itself.
// The earlier dispositions come back when the last one is disarmed. SIGKILL
// and a power cut cannot be caught: they can leave the file behind.
class SignalCleanup {
public:
    // At most this many saves are armed at once; more only ignore SIGXFSZ.
    static constexpr int Slots = 4;

    SignalCleanup() = default;
    ~SignalCleanup() { disarm(); }
    SignalCleanup(const SignalCleanup&) = delete;
    SignalCleanup& operator=(const SignalCleanup&) = delete;

    // Arms removal of `name` in the folder open as `folder`.
    void arm(int folder, const std::string& name);
    // Arms putting `oldBytes` back at the start of the file open as `file`
    // and cutting it to `oldSize`. The bytes and the descriptor must stay
    // until disarm(). The calling thread is the one that writes the file:
    // a signal taken by another thread is passed on to it, so that no write
    // of the save runs while the old bytes go back.
    void armPutBack(int file, std::string_view oldBytes, std::uint64_t oldSize);
    // Notes that the save is about to write up to `end`: no more than that
    // needs to go back.
    void reach(std::uint64_t end);
    // Forgets the save: it is done, or undone.
    void disarm();

private:
    int slot_ = -1;
    bool counted_ = false;
    bool take(bool wantSlot); // installs the handlers for the first; false without a slot
};

// Holds back the asynchronous signals that SignalCleanup handles while it
// lives, and restores the signal mask afterwards.
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
