#pragma once

#include <cstdint>

namespace tavilon {

// The random source of the original tool's runtime: a 24-bit linear
// congruential generator that starts from the same state at every start of
// the program, so the same list and presses give the same picks every run.
// Not for anything secret.
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
