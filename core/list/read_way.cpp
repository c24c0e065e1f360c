#include "read_way.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <thread>

#ifdef __linux__
#include <sched.h>
#endif

namespace tavilon {

namespace {

// Measured on 2-core AMD EPYC virtual machines with the page cache warm;
// see the README's Speed section. Once reads land on whole cache lines
// (see ReadBuffer) reads of 64 KiB to 1 MiB cost alike; one thread alone
// keeps its 64 KiB piece in its cache while it scans it.
constexpr std::size_t OneThreadPiece = 64u << 10;
constexpr std::size_t SharedPiece = 256u << 10;
// Parts of 2 MiB: a few hundred in a large list, so that threads finish
// close together and trying both ways on six of them costs little; a
// mapped part adds 2 MiB to a thread's resident memory while it is read.
constexpr std::uint64_t PartSize = 2u << 20;
// Below this a second thread gains nothing measurable.
constexpr std::uint64_t LargeList = 16u << 20;
// Two threads per usable processor: on an idle machine they cost nothing
// measurable over one (they share the parts), and when another program
// keeps a processor busy they get two thirds of it rather than half. A
// count of 1 GB with one of two processors busy took 0.166 s with one
// thread per processor and 0.136-0.182 s with two (a plain thread copying:
// 0.150-0.189 s). Three did a little better still, but their mapped parts
// held 16 MiB at once.
constexpr int ThreadsPerProcessor = 2;
constexpr int MaxThreads = 16;

std::size_t pieceSizeFrom(std::string_view kib, std::size_t otherwise)
{
    const long value = std::strtol(std::string(kib).c_str(), nullptr, 10);
    return value >= 4 && value <= (64 << 10) ? static_cast<std::size_t>(value) << 10 : otherwise;
}

} // namespace

std::string ReadWay::describe() const
{
    std::string text = std::to_string(threads) + (threads == 1 ? " thread, " : " threads, ");
    const std::string reads = std::to_string(pieceSize >> 10) + " KiB reads";
    switch (kind) {
    case Kind::Copied:
        return text + reads;
    case Kind::Mapped:
        return text + "mapped";
    case Kind::Measured:
        return text + "mapped or " + reads + ", whichever is faster";
    }
    return text;
}

int usableProcessors()
{
#ifdef __linux__
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

ReadWay chooseReadWay(std::uint64_t textSize)
{
    const int processors = usableProcessors();
    const char* forced = std::getenv("TAVILON_READ_WAY");
    const std::string_view text(forced ? forced : "");
    const std::string_view name = text.substr(0, text.find(':'));
    ReadWay way;
    way.pieceSize = OneThreadPiece;
    if (name == "pread" || name == "split" || name == "mapped" || name == "mapped-split" || name == "measured") {
        way.threads = name == "pread" || name == "mapped" ? 1 : std::min(ThreadsPerProcessor * processors, MaxThreads);
        way.kind = name.starts_with("mapped") ? ReadWay::Kind::Mapped
                   : name == "measured"       ? ReadWay::Kind::Measured
                                              : ReadWay::Kind::Copied;
        way.partSize = PartSize;
    } else if (textSize >= LargeList) {
        way.kind = ReadWay::Kind::Measured;
        way.threads = std::min(2 * processors, MaxThreads);
        way.partSize = PartSize;
    }
    if (way.threads > 1)
        way.pieceSize = SharedPiece;
    if (name.size() < text.size())
        way.pieceSize = pieceSizeFrom(text.substr(name.size() + 1), way.pieceSize);
    return way;
}

} // namespace tavilon
