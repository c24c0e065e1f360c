#include "random_source.h"

namespace tavilon {

float RandomSource::next()
{
    constexpr std::uint32_t multiplier = 16598013u;
    constexpr std::uint32_t increment = 12820163u;
    constexpr std::uint32_t mask = (1u << 24) - 1;
    state_ = (multiplier * state_ + increment) & mask; // mod 2^32, then 2^24
    return static_cast<float>(state_) / 16777216.0f;   // exact: 24 bits
}

RandomSource& processRandomSource()
{
    static RandomSource source;
    return source;
}

} // namespace tavilon
