#include "scan_kernel_body.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tavilon::scan {

namespace {

// Works on any processor, eight bytes at a time in a 64-bit word.
constexpr std::uint64_t Ones = 0x0101010101010101u;
constexpr std::uint64_t High = 0x8080808080808080u;
constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Fu;

// The eight bytes at p, the first in the lowest bits.
inline std::uint64_t loadWord(const unsigned char* p)
{
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i)
            swapped |= ((x >> (8 * i)) & 0xFF) << (56 - 8 * i);
        x = swapped;
    }
    return x;
}

// 0x80 in each byte of x that is zero, and nowhere else.
inline std::uint64_t zeroBytes(std::uint64_t x) { return ~(((x & Low7) + Low7) | x) & High; }
// 0x80 in each byte of x that is below 0x21 (a NUL, a blank or a control).
inline std::uint64_t belowBang(std::uint64_t x) { return ~(((x & Low7) + (Ones * 0x5F)) | x) & High; }
// The 0x80 bits of the eight bytes gathered into eight bits, first byte lowest.
inline std::uint64_t gather(std::uint64_t highBits) { return ((highBits >> 7) * 0x0102040810204080u) >> 56; }

struct SwarMasker {
    std::uint64_t nul = 0;
    bool endsOnly(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        std::uint64_t em = 0;
        std::uint64_t others = 0; // bytes below 0x21 that are no line ends
        for (int k = 0; k < 8; ++k) {
            const std::uint64_t x = loadWord(p + 8 * k);
            const std::uint64_t end = zeroBytes(x ^ (Ones * '\n')) | zeroBytes(x ^ (Ones * '\r'));
            others |= belowBang(x) & ~end;
            em |= gather(end) << (8 * k);
        }
        e = em;
        if (others == 0)
            return true;
        // Some word holds a space, a tab, a NUL or a control: the slow way.
        std::uint64_t bm = 0;
        for (int k = 0; k < 8; ++k) {
            const std::uint64_t x = loadWord(p + 8 * k);
            const std::uint64_t blank = zeroBytes(x ^ (Ones * ' ')) | zeroBytes(x ^ (Ones * '\t'));
            nul |= zeroBytes(x);
            bm |= gather(blank) << (8 * k);
        }
        b = bm | em;
        return false;
    }
    bool sawNul() const { return nul != 0; }
};

void countScalar(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<SwarMasker>(p, n, s); }
bool maskScalar(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<SwarMasker>(p, n, e, b);
}

#if defined(__x86_64__) || defined(_M_X64)
// SSE2 is part of every x86-64 processor.
struct Sse2Masker {
    __m128i zeroSeen = _mm_setzero_si128();
    static std::uint64_t bits(__m128i v) { return static_cast<std::uint16_t>(_mm_movemask_epi8(v)); }
    bool endsOnly(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        const __m128i lf = _mm_set1_epi8('\n');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i sp = _mm_set1_epi8(' ');
        const __m128i tab = _mm_set1_epi8('\t');
        const __m128i zero = _mm_setzero_si128();
        std::uint64_t em = 0;
        std::uint64_t sm = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
            const __m128i end = _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr));
            const __m128i space = _mm_or_si128(_mm_cmpeq_epi8(v, sp), _mm_cmpeq_epi8(v, tab));
            zeroSeen = _mm_or_si128(zeroSeen, _mm_cmpeq_epi8(v, zero));
            em |= bits(end) << (16 * k);
            sm |= bits(space) << (16 * k);
        }
        e = em;
        b = em | sm;
        return sm == 0;
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

Kernels portableKernels() { return {countScalar, maskScalar, "portable"}; }

#if defined(__x86_64__) || defined(_M_X64)
Kernels sse2Kernels() { return {countSse2, maskSse2, "sse2"}; }
#endif

} // namespace tavilon::scan
