#include "scan_kernel_body.h"

#include <immintrin.h>

namespace tavilon::scan {

namespace {

struct Avx2Masker {
    __m256i zeroSeen = _mm256_setzero_si256();
    static std::uint64_t bits(__m256i v) { return static_cast<std::uint32_t>(_mm256_movemask_epi8(v)); }
    void masks(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        const __m256i lf = _mm256_set1_epi8('\n');
        const __m256i cr = _mm256_set1_epi8('\r');
        const __m256i sp = _mm256_set1_epi8(' ');
        const __m256i tab = _mm256_set1_epi8('\t');
        const __m256i lo = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        const __m256i hi = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
        const __m256i endLo = _mm256_or_si256(_mm256_cmpeq_epi8(lo, lf), _mm256_cmpeq_epi8(lo, cr));
        const __m256i endHi = _mm256_or_si256(_mm256_cmpeq_epi8(hi, lf), _mm256_cmpeq_epi8(hi, cr));
        const __m256i blankLo = _mm256_or_si256(endLo, _mm256_or_si256(_mm256_cmpeq_epi8(lo, sp), _mm256_cmpeq_epi8(lo, tab)));
        const __m256i blankHi = _mm256_or_si256(endHi, _mm256_or_si256(_mm256_cmpeq_epi8(hi, sp), _mm256_cmpeq_epi8(hi, tab)));
        zeroSeen = _mm256_or_si256(zeroSeen, _mm256_cmpeq_epi8(_mm256_min_epu8(lo, hi), _mm256_setzero_si256()));
        e = bits(endLo) | (bits(endHi) << 32);
        b = bits(blankLo) | (bits(blankHi) << 32);
    }
    bool sawNul() const { return _mm256_movemask_epi8(zeroSeen) != 0; }
};

void countAvx2(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<Avx2Masker>(p, n, s); }
bool maskAvx2(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<Avx2Masker>(p, n, e, b);
}

} // namespace

Kernels avx2Kernels() { return {countAvx2, maskAvx2, "avx2"}; }

} // namespace tavilon::scan
