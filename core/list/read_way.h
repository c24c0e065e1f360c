#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tavilon {

// How a count reads a list held as bytes: in pieces copied out with
// positioned reads, by one thread or by several each taking its own part of
// the file, or through mapped windows by one thread.
struct ReadWay {
    enum class Kind { Pieces, Mapped };
    Kind kind = Kind::Pieces;
    int threads = 1;
    std::size_t pieceSize = 0; // bytes per positioned read

    // For instance "2 threads, 256 KiB reads".
    std::string describe() const;
};

// The processors this process may run on (what `taskset` allows), at least 1.
int usableProcessors();

// The way to count a list of `textSize` bytes: a large list is shared out
// among the usable processors, or mapped when there is only one; any other
// is read by one thread. TAVILON_READ_WAY, when set,
// forces one (for tests and benchmarks): "mapped", "pread" (one thread) or
// "split" (a thread per usable processor), each optionally followed by
// ":KIB", the size of a read in KiB.
ReadWay chooseReadWay(std::uint64_t textSize);

} // namespace tavilon
