#include "scan_kernel_body.h"

#include <immintrin.h>

namespace tavilon::scan {

namespace {

// Table lookups by a byte's low nibble, repeated per 16 bytes. A byte is a
// blank when the blank row holds the byte itself at its low nibble
// ('\t' 0x09, '\n' 0x0A, '\r' 0x0D, ' ' 0x20), and a line end when the
// line-end row does. Bytes from 0x80 look up 0, which never matches them;
// the first entry is chosen so that a NUL matches neither.
alignas(32) constexpr unsigned char blankRow[32] = {
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
};
alignas(32) constexpr unsigned char endRow[32] = {
    0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, '\n', 0, 0, '\r', 0, 0,
    0xFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, '\n', 0, 0, '\r', 0, 0,
};

struct Avx2Masker {
    __m256i lowest = _mm256_set1_epi8(-1); // the smallest byte seen, per lane
    static std::uint64_t bits(__m256i v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
    bool endsOnly(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        const __m256i blanks = _mm256_load_si256(reinterpret_cast<const __m256i*>(blankRow));
        const __m256i ends = _mm256_load_si256(reinterpret_cast<const __m256i*>(endRow));
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const __m256i blankLo = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(blanks, lo), lo);
        const __m256i blankHi = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(blanks, hi), hi);
        const __m256i endLo = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(ends, lo), lo);
        const __m256i endHi = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(ends, hi), hi);
        lowest = _mm256_min_epu8(lowest, _mm256_min_epu8(lo, hi));
        e = bits(endLo) | (bits(endHi) << 32);
        // Blanks that are no line ends: spaces and tabs.
        const __m256i spaces = _mm256_or_si256(_mm256_xor_si256(blankLo, endLo), _mm256_xor_si256(blankHi, endHi));
        if (_mm256_testz_si256(spaces, spaces))
            return true;
        b = bits(blankLo) | (bits(blankHi) << 32);
        return false;
    }
    bool sawNul() const { return _mm256_movemask_epi8(_mm256_cmpeq_epi8(lowest, _mm256_setzero_si256())) != 0; }
};

void countAvx2(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<Avx2Masker>(p, n, s); }
bool maskAvx2(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<Avx2Masker>(p, n, e, b);
}

} // namespace

Kernels avx2Kernels() { return {countAvx2, maskAvx2, "avx2", false}; }

} // namespace tavilon::scan
