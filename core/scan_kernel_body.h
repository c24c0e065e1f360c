// Included by each kernel translation unit with its own Masker type; kept in
// an unnamed namespace so that each instruction set's copy stays its own.
#pragma once

#include "scan_kernels.h"

#include <bit>
#include <cstring>

namespace {

template <class Masker>
inline void countBlockWith(const unsigned char* p, std::size_t n, tavilon::scan::CountState& state)
{
    std::uint64_t fields = state.fields;
    std::uint64_t carry = state.carry;
    Masker masker;
    std::size_t i = 0;
    for (; i + 64 <= n; i += 64) {
        std::uint64_t e;
        std::uint64_t b;
        masker.masks(p + i, e, b);
        const std::uint64_t t = tavilon::scan::addWithCarry(e, b, carry);
        fields += static_cast<std::uint64_t>(std::popcount(e & ~t));
    }
    if (i < n) {
        unsigned char tail[64];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, p + i, n - i);
        std::uint64_t e;
        std::uint64_t b;
        masker.masks(tail, e, b);
        const std::uint64_t t = tavilon::scan::addWithCarry(e, b, carry);
        fields += static_cast<std::uint64_t>(std::popcount(e & ~t));
    }
    state.fields = fields;
    state.carry = carry;
    state.sawNul = state.sawNul || masker.sawNul();
}

template <class Masker>
inline bool maskBlockWith(const unsigned char* p, std::size_t n, std::uint64_t* lineEnds,
                          std::uint64_t* blanks)
{
    Masker masker;
    std::size_t i = 0;
    std::size_t k = 0;
    for (; i + 64 <= n; i += 64, ++k)
        masker.masks(p + i, lineEnds[k], blanks[k]);
    if (i < n) {
        unsigned char tail[64];
        std::memset(tail, ' ', sizeof tail);
        std::memcpy(tail, p + i, n - i);
        masker.masks(tail, lineEnds[k], blanks[k]);
    }
    return masker.sawNul();
}

} // namespace
