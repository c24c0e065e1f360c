// Included by each kernel translation unit with its own Masker type; kept in
// an unnamed namespace so that each instruction set's copy stays its own.
//
// A Masker gives, for 64 bytes at p, the line-end mask e and, when the
// bytes hold a space or a tab, the blank mask b:
//   bool endsOnly(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
// returns true when there is neither (then b is left alone: the blanks are
// exactly the line ends), and remembers whether it met a NUL:
//   bool sawNul() const
#pragma once

#include "scan_kernels.h"

#include <bit>
#include <cstring>

namespace {

// The words closed in one chunk. Without spaces or tabs a line end closes
// a word unless the byte before it is a line end too (or, for the first
// byte, the carry says only blanks came since the last one); otherwise the
// carry runs through the blanks by an addition.
template <class Masker>
inline void countChunk(Masker& masker, const unsigned char* p, std::uint64_t& words, std::uint64_t& carry)
{
    std::uint64_t e;
    std::uint64_t b;
    if (masker.endsOnly(p, e, b)) {
        words += static_cast<std::uint64_t>(std::popcount(e & ~((e << 1) | carry)));
        carry = e >> 63;
    } else {
        const std::uint64_t t = tavilon::scan::addWithCarry(e, b, carry);
        words += static_cast<std::uint64_t>(std::popcount(e & ~t));
    }
}

template <class Masker>
inline void countBlockWith(const unsigned char* p, std::size_t n, tavilon::scan::CountState& state)
{
    // Locals, so that the compiler keeps them in registers.
    std::uint64_t words = state.words;
    std::uint64_t carry = state.carry;
    Masker masker;
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64)
        countChunk(masker, p + i, words, carry);
    if (i < n) {
        unsigned char tail[64];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, p + i, n - i);
        countChunk(masker, tail, words, carry);
    }
    state.words = words;
    state.carry = carry;
    state.sawNul = state.sawNul || masker.sawNul();
}

template <class Masker>
inline void maskChunk(Masker& masker, const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
{
    if (masker.endsOnly(p, e, b))
        b = e;
}

template <class Masker>
inline bool maskBlockWith(const unsigned char* p, std::size_t n, std::uint64_t* lineEnds,
                          std::uint64_t* blanks)
{
    Masker masker;
    std::size_t i = 0;
    std::size_t k = 0;
    for (; i + 64 <= n; i += 64, ++k)
        maskChunk(masker, p + i, lineEnds[k], blanks[k]);
    if (i < n) {
        unsigned char tail[64];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, p + i, n - i);
        maskChunk(masker, tail, lineEnds[k], blanks[k]);
    }
    return masker.sawNul();
}

} // namespace
