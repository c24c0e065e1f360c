#include "scan_kernel_body.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tavilon::scan {

namespace {

// Works on any processor, one byte at a time.
struct ScalarMasker {
    bool nul = false;
    void masks(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        std::uint64_t em = 0;
        std::uint64_t bm = 0;
        for (int i = 0; i < 64; ++i) {
            const unsigned char c = p[i];
            const std::uint64_t isEnd = (c == '\n') | (c == '\r');
            const std::uint64_t isBlank = isEnd | (c == ' ') | (c == '\t');
            em |= isEnd << i;
            bm |= isBlank << i;
            nul |= c == 0;
        }
        e = em;
        b = bm;
    }
    bool sawNul() const { return nul; }
};

void countScalar(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<ScalarMasker>(p, n, s); }
bool maskScalar(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<ScalarMasker>(p, n, e, b);
}

#if defined(__x86_64__) || defined(_M_X64)
// SSE2 is part of every x86-64 processor.
struct Sse2Masker {
    __m128i zeroSeen = _mm_setzero_si128();
    static std::uint64_t bits(__m128i v) { return static_cast<std::uint16_t>(_mm_movemask_epi8(v)); }
    void masks(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i sp = _mm_set1_epi8(' ');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i zero = _mm_setzero_si128();
        std::uint64_t em = 0;
        std::uint64_t bm = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            const __m128i end = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
            const __m128i blank = _mm_or_si128(end, _mm_or_si128(_mm_cmpeq_epi8(v, sp), _mm_cmpeq_epi8(v, tab)));
            zeroSeen = _mm_or_si128(zeroSeen, _mm_cmpeq_epi8(v, zero));
            em |= bits(end) << (16 * k);
            bm |= bits(blank) << (16 * k);
        }
        e = em;
        b = bm;
    }
    bool sawNul() const { return _mm_movemask_epi8(zeroSeen) != 0; }
};

void countSse2(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<Sse2Masker>(p, n, s); }
bool maskSse2(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<Sse2Masker>(p, n, e, b);
}
#endif

} // namespace

Kernels portableKernels() { return {countScalar, maskScalar, "scalar"}; }

#if defined(__x86_64__) || defined(_M_X64)
Kernels sse2Kernels() { return {countSse2, maskSse2, "sse2"}; }
#endif

} // namespace tavilon::scan
