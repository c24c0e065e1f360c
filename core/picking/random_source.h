#pragma once

#include <cstdint>

namespace tavilon {

// The program's random source: a 24-bit linear congruential generator that
// starts from the same state at every start of the program, so the same list
// and presses give the same picks every run. It runs through all 2^24 states
// before it repeats, so a draw lands on at most 2^24 different words. Not
// for anything secret.
class RandomSource {
public:
    static constexpr std::uint32_t StartState = 0x50000;

    float next();
    std::uint32_t state() const { return state_; }
    void reset() { state_ = StartState; }

private:
    std::uint32_t state_ = StartState;
};

// The process-wide source that every press of "Select" continues.
RandomSource& processRandomSource();

} // namespace tavilon
