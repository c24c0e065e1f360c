#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavilon {

// How a count reads a list held as bytes. The list is cut into parts of
// `partSize` bytes; each of `threads` threads takes the next part not yet
// taken until none are left, so a thread on a busy processor simply takes
// fewer. A part is copied out in positioned reads of `pieceSize` bytes or
// read through a mapping of it; Measured tries both on the first parts
// and keeps the faster for the rest.
struct ReadWay {
    enum class Kind { Copied, Mapped, Measured };
    Kind kind = Kind::Copied;
    int threads = 1;
    std::size_t pieceSize = 64u << 10;
    std::uint64_t partSize = UINT64_MAX; // the whole list in one part

    // For instance "2 threads, 256 KiB reads" or "2 threads, mapped".
    std::string describe() const;
};

// The processors this process may run on (what `taskset` allows), at least 1.
int usableProcessors();

// The way to count a list of `textSize` bytes: a small list is read by one
// thread; a large one by two threads per usable processor, the way measured
// faster on its first parts. TAVILON_READ_WAY, when set, forces one (for
// tests and benchmarks): "pread" (one thread copies), "split" (two threads
// per usable processor copy), "mapped" (one thread maps), "mapped-split"
// (two threads per usable processor map) or "measured" (the large lists' way
// for any list), each optionally followed by ":KIB", the size of a read in KiB.
ReadWay chooseReadWay(std::uint64_t textSize);

} // namespace tavilon
