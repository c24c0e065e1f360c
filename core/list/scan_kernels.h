#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Word scanning over blocks of bytes, 64 bytes at a time.
//
// Every CR and every LF ends a line; the "line" between the CR and LF of a
// CR LF is empty, and empty lines are not words, so no look-ahead is needed.
// For a 64-byte chunk, E marks its line ends and B its blanks (CR, LF, space,
// tab). With a carry c that is 1 while nothing but blanks has been seen since
// the last line end, t = E + B + c (a 64-bit add) passes the carry through
// blanks, stops it at content and restarts it at a line end; so the line ends
// in E & ~t are exactly those that close a line with content, a word. The
// add's carry-out is the next chunk's c.
namespace tavilon::scan {

struct CountState {
    std::uint64_t words = 0;
    std::uint64_t carry = 1; // 1: only blanks since the last line end
    bool sawNul = false;
};

// Adds the words that end inside [p, p + n) to the state.
using CountBlockFn = void (*)(const unsigned char* p, std::size_t n, CountState& state);

// Writes E and B for each 64-byte chunk of [p, p + n), the last chunk
// padded with spaces; returns true when the bytes hold a NUL.
using MaskBlockFn = bool (*)(const unsigned char* p, std::size_t n, std::uint64_t* lineEnds,
                             std::uint64_t* blanks);

struct Kernels {
    CountBlockFn count;
    MaskBlockFn mask;
    const char* name;
    bool runsHere; // whether this processor has the instructions it needs
};

// Every kernel set this build ships, fastest first; the portable one, last,
// runs on any processor.
const std::vector<Kernels>& shippedKernels();
// The fastest kernels this processor runs, chosen once.
const Kernels& bestKernels();

inline std::uint64_t addWithCarry(std::uint64_t a, std::uint64_t b, std::uint64_t& carry)
{
    const std::uint64_t s1 = a + b;
    const std::uint64_t c1 = s1 < a;
    const std::uint64_t s2 = s1 + carry;
    const std::uint64_t c2 = s2 < s1;
    carry = c1 | c2;
    return s2;
}

} // namespace tavilon::scan
