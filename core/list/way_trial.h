#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace tavilon {

// Which way the threads of one count read each part, copied or mapped: a
// fixed way, or, while trying, copied and mapped in turn on the first parts,
// then the way whose fastest part took the least time per byte. Whether
// copies or mapped pages are faster differs between machines and, on one
// machine, from one minute to the next (twice as fast either way was
// measured), so it is found out on the list being counted. The fastest part
// of each way is compared: a part slowed by a cold cache or a busy memory
// bus says little about the way. Parts read the slower
// way cost under 1% of the count of a 1 GB list.
class WayTrial {
public:
    enum class Mode { Copied, Mapped, Measured };

    explicit WayTrial(Mode mode);

    // True when part `part` (counted from 0) is to be mapped.
    bool mapsPart(std::uint64_t part) const;
    // Whether parts are still read both ways, to be timed.
    bool trying() const { return decision_.load(std::memory_order_acquire) == Undecided; }
    // The time a part took per byte, read the way mapsPart() gave.
    void record(bool mapped, double secondsPerByte);
    // A part could not be mapped: every part from now on is copied.
    void mappingFailed();
    // The way most parts were read, once decided.
    bool mapped() const { return decision_.load(std::memory_order_acquire) == Mapped; }

private:
    static constexpr int Undecided = -1;
    static constexpr int Copied = 0;
    static constexpr int Mapped = 1;
    static constexpr int TriesPerWay = 3;

    std::atomic<int> decision_;
    std::mutex mutex_;
    int tries_[2] = {0, 0};
    double fastest_[2] = {0, 0};
};

} // namespace tavilon
