#include "shared_count.h"

#include "blanks.h"
#include "read_buffer.h"
#include "worker_thread.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <sched.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tavilon {

namespace {

// Measured on 2-core AMD EPYC virtual machines with the page cache warm.
// With reads landing on pages (see ReadBuffer),
// reads of 64 KiB to 1 MiB cost alike; one thread alone keeps its 64 KiB
// piece in its cache while it scans it.
constexpr std::size_t OneThreadPiece = 64u << 10;
constexpr std::size_t SharedPiece = 256u << 10;
// Parts of 2 MiB: a few hundred in a large list, so that threads finish
// close together.
constexpr std::uint64_t PartSize = 2u << 20;
// Below this a second thread gains nothing measurable.
constexpr std::uint64_t LargeList = 16u << 20;
// Two threads per usable processor: on an idle machine they cost nothing
// measurable over one, and when another program keeps a processor busy
// they get two thirds of it rather than half.
constexpr int ThreadsPerProcessor = 2;
constexpr int MaxThreads = 16;

// With an index, marks are noted this far apart at most.
constexpr std::size_t MarkPiece = 16u << 10;
// While the calling thread waits for the others, progress goes out this often.
constexpr auto ProgressWait = std::chrono::milliseconds(50);

// How a part begins, which decides what the part before it changes in it:
// only blanks up to its first line end, and the line end closes a word if
// the part before ended inside one; only blanks throughout (so far), and the
// word open before it stays open; content first, and the part stands alone.
enum class Lead { OnlyBlanks, Content, BlanksThenLineEnd };

enum class PartEnd { Done, Short, Failed, Nul, Stopped };

struct SpanMark {
    WordIndex::Mark mark; // words counted from the part's start
    std::uint64_t piece;  // the mark piece it closes, counted from the text's start
};

// One part's count, as if it began a line.
struct Part {
    scan::CountState state;
    Lead lead = Lead::OnlyBlanks;
    SpanMark* marks = nullptr; // this part's slots
    std::size_t markSlots = 0;
    std::size_t markCount = 0;
    PartEnd end = PartEnd::Stopped; // parts never taken stay stopped
    int error = 0;
};

// Everything the threads share.
struct Shared {
    const InputFile* file = nullptr;
    std::uint64_t textStart = 0;
    std::uint64_t fileSize = 0; // when opened
    CountParts way;
    bool withMarks = false;
    std::uint64_t markStride = 1; // pieces between marks noted
    std::vector<Part> parts;
    std::vector<SpanMark> markSlots;
    std::atomic<std::uint64_t> nextPart {1}; // the calling thread reads part 0
    std::atomic<std::uint64_t> bytesRead {0};
    std::atomic<bool> stop {false};
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;

    std::uint64_t partBegin(std::uint64_t k) const { return std::max(k * way.partSize, textStart); }
    std::uint64_t partEnd(std::uint64_t k) const
    {
        return std::max(std::min((k + 1) * way.partSize, fileSize), partBegin(k));
    }
    bool isLast(std::uint64_t k) const { return k + 1 == parts.size(); }
};

void settleLead(Lead& lead, const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n && lead == Lead::OnlyBlanks; ++i) {
        if (p[i] == ' ' || p[i] == '\t')
            continue;
        lead = p[i] == '\n' || p[i] == '\r' ? Lead::BlanksThenLineEnd : Lead::Content;
    }
}

// Counts `size` bytes that lie at `textOffset` in the text; with marks,
// notes where the line after a mark piece's last line end starts, for
// pieces that closed a word, every markStride pieces.
void countSpan(const Shared& shared, Part& part, const unsigned char* bytes, std::size_t size,
               std::uint64_t textOffset)
{
    settleLead(part.lead, bytes, size);
    if (!shared.withMarks) {
        shared.way.count(bytes, size, part.state);
        return;
    }
    for (std::size_t start = 0; start < size;) {
        const std::uint64_t at = textOffset + start;
        const std::size_t length = std::min<std::uint64_t>(MarkPiece - at % MarkPiece, size - start);
        const std::uint64_t before = part.state.words;
        shared.way.count(bytes + start, length, part.state);
        const std::uint64_t piece = at / MarkPiece;
        if (part.state.words != before && piece % shared.markStride == 0 && part.markCount < part.markSlots) {
            const std::uint64_t lineStart = at + pastLastLineEnd(bytes + start, length);
            part.marks[part.markCount++] = {{lineStart, part.state.words}, piece};
        }
        start += length;
    }
}

ssize_t readAt(int fd, unsigned char* dest, std::size_t size, std::uint64_t offset)
{
    for (;;) {
        const ssize_t n = ::pread(fd, dest, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR)
            return n;
    }
}

// Reads part `k` in positioned reads that end on multiples of the piece
// size in the file; the last part reads on to the file's end.
PartEnd readPart(Shared& shared, std::uint64_t k, Part& part, ReadBuffer& buffer,
                 const std::function<bool()>& afterPiece)
{
    const bool last = shared.isLast(k);
    const std::uint64_t end = shared.partEnd(k);
    const std::uint64_t pieceSize = shared.way.pieceSize;
    for (std::uint64_t at = shared.partBegin(k); at < end || last;) {
        if (shared.stop.load(std::memory_order_relaxed))
            return PartEnd::Stopped;
        const std::uint64_t pieceEnd = (at / pieceSize + 1) * pieceSize;
        const std::uint64_t upTo = last ? pieceEnd : std::min(pieceEnd, end);
        const ssize_t n = readAt(shared.file->descriptor(), buffer.bytes(), upTo - at, at);
        if (n < 0) {
            part.error = errno;
            return PartEnd::Failed;
        }
        if (n == 0)
            return at < end ? PartEnd::Short : PartEnd::Done; // short: cut since it was opened
        countSpan(shared, part, buffer.bytes(), static_cast<std::size_t>(n), at - shared.textStart);
        if (part.state.sawNul)
            return PartEnd::Nul;
        at += static_cast<std::uint64_t>(n);
        shared.bytesRead.fetch_add(static_cast<std::uint64_t>(n), std::memory_order_relaxed);
        if (afterPiece && !afterPiece())
            return PartEnd::Stopped;
    }
    return PartEnd::Done;
}

// Takes parts until none are left or the count stops, beginning with
// `first` when it is given.
void takeParts(Shared& shared, ReadBuffer& buffer, const std::function<bool()>& afterPiece,
               std::optional<std::uint64_t> first = std::nullopt)
{
    while (!shared.stop.load(std::memory_order_relaxed)) {
        const std::uint64_t k = first ? *std::exchange(first, std::nullopt)
                                      : shared.nextPart.fetch_add(1, std::memory_order_relaxed);
        if (k >= shared.parts.size())
            return;
        Part& part = shared.parts[k];
        part.end = readPart(shared, k, part, buffer, afterPiece);
        if (part.end != PartEnd::Done)
            shared.stop.store(true, std::memory_order_relaxed);
    }
}

// Parts and mark slots for the list; marks are noted every so many pieces
// that the index need not thin them much.
void cutParts(Shared& shared, const WordIndex* index)
{
    // Parts before the text's start, when they are smaller than a
    // byte-order mark, are empty.
    const std::uint64_t textSize = shared.fileSize - shared.textStart;
    const std::uint64_t partSize = shared.way.partSize;
    const std::uint64_t parts = shared.fileSize == 0 ? 1 : (shared.fileSize - 1) / partSize + 1;
    shared.parts.resize(static_cast<std::size_t>(parts));
    if (!index)
        return;
    const std::uint64_t pieces = textSize / MarkPiece + 1;
    shared.markStride = std::bit_ceil((pieces + index->maxMarks() - 1) / index->maxMarks());
    const std::uint64_t piecesPerPart = std::min(partSize, textSize) / MarkPiece + 2;
    const auto slots = static_cast<std::size_t>(piecesPerPart / shared.markStride + 1);
    shared.markSlots.resize(slots * shared.parts.size());
    for (std::size_t k = 0; k < shared.parts.size(); ++k) {
        shared.parts[k].marks = shared.markSlots.data() + k * slots;
        shared.parts[k].markSlots = slots;
    }
}

// Starts a worker for each buffer but the first; a thread that cannot be
// started leaves its parts to the others.
std::vector<std::unique_ptr<WorkerThread>> startWorkers(Shared& shared, std::vector<ReadBuffer>& buffers)
{
    std::vector<std::unique_ptr<WorkerThread>> workers;
    for (std::size_t t = 1; t < buffers.size(); ++t) {
        std::unique_lock lock(shared.mutex);
        ++shared.running;
        lock.unlock();
        try {
            workers.push_back(std::make_unique<WorkerThread>([&shared, buffer = &buffers[t]] {
                takeParts(shared, *buffer, {});
                std::lock_guard done(shared.mutex);
                --shared.running;
                shared.finished.notify_all();
            }));
        } catch (const std::system_error&) {
            lock.lock();
            --shared.running;
        }
    }
    return workers;
}

// Reads every part on `threads` threads, the calling thread reporting
// progress; a report that returns false stops them all.
void readParts(Shared& shared, int threads, const std::function<bool()>& report)
{
    // Every thread's read buffer is taken here: a thread that allocates
    // gets a memory arena of its own, which outlives it.
    std::vector<ReadBuffer> buffers(static_cast<std::size_t>(threads));
    for (ReadBuffer& buffer : buffers)
        buffer.grow(shared.way.pieceSize);
    const auto workers = startWorkers(shared, buffers);
    takeParts(shared, buffers[0], report, 0);
    std::unique_lock lock(shared.mutex);
    while (!shared.finished.wait_for(lock, ProgressWait, [&] { return shared.running == 0; })) {
        lock.unlock();
        if (!shared.stop.load() && !report())
            shared.stop.store(true);
        lock.lock();
    }
}

CoreError partError(const TextSource& source, const Part& part)
{
    if (part.end == PartEnd::Short || source.changedSinceOpened())
        return listChangedError(source.path());
    if (part.end == PartEnd::Nul)
        return notWordListError(source.path());
    return readFailedError(source.path(), part.error);
}

// The parts in order: each one's count as if it began a line, set right by
// how the part before it ended.
std::uint64_t joinParts(const Shared& shared, WordIndex* index)
{
    scan::CountState total;
    for (const Part& part : shared.parts) {
        std::uint64_t wordsBefore = total.words;
        if (total.carry == 0 && part.lead == Lead::BlanksThenLineEnd)
            ++wordsBefore; // its first line end closes the word open before it
        if (part.lead != Lead::OnlyBlanks)
            total.carry = part.state.carry;
        total.words = wordsBefore + part.state.words;
        for (std::size_t m = 0; index && m < part.markCount; ++m) {
            const SpanMark& noted = part.marks[m];
            index->offer({noted.mark.offset, noted.mark.wordsBefore + wordsBefore}, noted.piece);
        }
    }
    return total.words + (total.carry == 0 ? 1 : 0);
}

} // namespace

int usableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

CountParts countPartsFor(std::uint64_t textSize)
{
    CountParts parts;
    if (textSize >= LargeList) {
        parts.threads = std::min(ThreadsPerProcessor * usableProcessors(), MaxThreads);
        parts.pieceSize = SharedPiece;
        parts.partSize = PartSize;
    } else {
        parts.pieceSize = OneThreadPiece;
    }
    return parts;
}

Outcome<std::uint64_t> countShared(const TextSource& source, const CountParts& parts, const ProgressFn& progress,
                                   WordIndex* index)
{
    if (index)
        index->clear();
    Shared shared;
    shared.file = &source.file();
    shared.textStart = source.textStart();
    shared.fileSize = std::max(source.fileSize(), source.textStart());
    shared.way = parts;
    shared.way.partSize = std::max<std::uint64_t>(parts.partSize, 1);
    shared.way.pieceSize = std::max<std::size_t>(parts.pieceSize, 16);
    shared.withMarks = index != nullptr;
    cutParts(shared, index);

    bool cancelled = false;
    const auto report = [&] {
        const std::uint64_t done = source.textStart() + shared.bytesRead.load(std::memory_order_relaxed);
        if (progress && !cancelled)
            cancelled = !progress(done, source.fileSize());
        return !cancelled;
    };
    const auto threads = std::min<std::uint64_t>(shared.parts.size(), std::max(parts.threads, 1));
    readParts(shared, static_cast<int>(threads), report);
    if (cancelled)
        return cancelledError();
    for (const Part& part : shared.parts) {
        if (part.end != PartEnd::Done && part.end != PartEnd::Stopped)
            return partError(source, part); // the others stopped for it
    }
    const std::uint64_t words = joinParts(shared, index);
    if (source.changedSinceOpened())
        return listChangedError(source.path()); // what was read may be part old, part new
    return words;
}

} // namespace tavilon
