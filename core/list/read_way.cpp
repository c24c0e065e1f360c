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

// Measured on 2-core virtual machines (AMD EPYC) with the page cache warm;
// see the README's Speed section. Threads that share a list each read their
// part in pieces of 128-512 KiB; mapped windows shared alike do no better,
// and faults cost more than copies on some of these machines. A thread alone
// copies and scans in turn: there 64 KiB reads keep the copy in its cache
// and beat mapped windows on small lists, while on a large list mapped
// windows come out a few percent ahead.
constexpr std::size_t OneThreadPiece = 64u << 10;
constexpr std::size_t SharedPiece = 256u << 10;
// Below this a second thread gains nothing measurable.
constexpr std::uint64_t LargeList = 16u << 20;
constexpr int MaxThreads = 8;

std::size_t pieceSizeFrom(std::string_view kib, std::size_t otherwise)
{
    const long value = std::strtol(std::string(kib).c_str(), nullptr, 10);
    return value >= 4 && value <= (64 << 10) ? static_cast<std::size_t>(value) << 10 : otherwise;
}

} // namespace

std::string ReadWay::describe() const
{
    if (kind == Kind::Mapped)
        return "1 thread, mapped 4 MiB windows";
    return std::to_string(threads) + (threads == 1 ? " thread, " : " threads, ") + std::to_string(pieceSize >> 10)
           + " KiB reads";
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
    ReadWay way;
    way.pieceSize = OneThreadPiece;
#ifdef _WIN32
    way.kind = ReadWay::Kind::Mapped; // no positioned reads there
    (void)textSize;
    return way;
#endif
    const int processors = std::min(usableProcessors(), MaxThreads);
    const char* forced = std::getenv("TAVILON_READ_WAY");
    const std::string_view text(forced ? forced : "");
    const std::string_view name = text.substr(0, text.find(':'));
    if (name == "mapped") {
        way.kind = ReadWay::Kind::Mapped;
    } else if (name == "split") {
        way.threads = processors;
    } else if (name != "pread" && textSize >= LargeList) {
        if (processors > 1)
            way.threads = processors;
        else
            way.kind = ReadWay::Kind::Mapped;
    }
    if (way.threads > 1)
        way.pieceSize = SharedPiece;
    if (name.size() < text.size())
        way.pieceSize = pieceSizeFrom(text.substr(name.size() + 1), way.pieceSize);
    return way;
}

} // namespace tavilon
