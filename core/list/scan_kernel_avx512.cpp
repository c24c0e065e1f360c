#include "scan_kernel_body.h"

#include <immintrin.h>

namespace tavilon::scan {

namespace {

// One shuffle finds all four blank bytes by their low nibble:
// '\t' 0x09, '\n' 0x0A, '\r' 0x0D, ' ' 0x20; the row repeats per 16 bytes.
alignas(64) constexpr unsigned char nibbleTable[64] = {
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
    ' ', 0, 0, 0, 0, 0, 0, 0, 0, '\t', '\n', 0, 0, '\r', 0, 0,
};

struct Avx512Masker {
    __mmask64 zeroSeen = 0;
    bool endsOnly(const unsigned char* p, std::uint64_t& e, std::uint64_t& b)
    {
        const __m512i v = _mm512_loadu_si512(p);
        // One shuffle finds all four blank bytes by their low nibble:
        // '\t' 0x09, '\n' 0x0A, '\r' 0x0D, ' ' 0x20.
        const __m512i table = _mm512_load_si512(nibbleTable);
        const __m512i looked = _mm512_shuffle_epi8(table, v);
        const __mmask64 blank = _mm512_cmpeq_epi8_mask(looked, v);
        // Of the four, only '\n' (0x0A) and '\r' (0x0D) have bit 1 or bit 2 set.
        const __mmask64 end = blank & _mm512_test_epi8_mask(v, _mm512_set1_epi8(0x06));
        zeroSeen |= _mm512_testn_epi8_mask(v, v);
        e = end;
        if (blank == end)
            return true;
        b = blank;
        return false;
    }
    bool sawNul() const { return zeroSeen != 0; }
};

void countAvx512(const unsigned char* p, std::size_t n, CountState& s) { countBlockWith<Avx512Masker>(p, n, s); }
bool maskAvx512(const unsigned char* p, std::size_t n, std::uint64_t* e, std::uint64_t* b)
{
    return maskBlockWith<Avx512Masker>(p, n, e, b);
}

} // namespace

Kernels avx512Kernels() { return {countAvx512, maskAvx512, "avx512", false}; }

} // namespace tavilon::scan
