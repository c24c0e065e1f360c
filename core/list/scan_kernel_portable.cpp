#include "scan_kernel_body.h"

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

} // namespace

Kernels portableKernels() { return {countScalar, maskScalar, "portable", true}; }

} // namespace tavilon::scan
