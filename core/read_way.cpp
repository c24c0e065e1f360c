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

// Measured on 2-core virtual machines with the page cache warm (see the
// README's Speed section): copying pages out with pread costs less than
// mapping them, a second thread nearly halves the copy, and reads of
// 256 KiB beat both smaller ones (more calls) and larger ones (the copy
// leaves the processor's cache before it is scanned).
constexpr std::size_t PieceSize = 256u << 10;
// Below this a second thread costs more to start than it saves.
constexpr std::uint64_t MinSplitSize = 4u << 20;
constexpr int MaxThreads = 8;

std::size_t pieceSizeFrom(std::string_view kib)
{
    const long value = std::strtol(std::string(kib).c_str(), nullptr, 10);
    return value >= 4 && value <= (64 << 10) ? static_cast<std::size_t>(value) << 10 : PieceSize;
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
    way.pieceSize = PieceSize;
#ifdef _WIN32
    way.kind = ReadWay::Kind::Mapped; // no positioned reads there
    (void)textSize;
    return way;
#endif
    const int processors = std::min(usableProcessors(), MaxThreads);
    if (const char* forced = std::getenv("TAVILON_READ_WAY"); forced && *forced) {
        const std::string_view text(forced);
        const std::string_view name = text.substr(0, text.find(':'));
        if (text.size() > name.size())
            way.pieceSize = pieceSizeFrom(text.substr(name.size() + 1));
        if (name == "mapped")
            way.kind = ReadWay::Kind::Mapped;
        else if (name == "split")
            way.threads = processors;
        return way;
    }
    if (textSize >= MinSplitSize)
        way.threads = processors;
    return way;
}

} // namespace tavilon
