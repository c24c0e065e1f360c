#include "shared_count.h"

#include "blanks.h"
#include "fault_guard.h"
#include "mapped_window.h"
#include "read_buffer.h"
#include "scan_kernels.h"
#include "way_trial.h"
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
#include <system_error>
#include <time.h>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tavilon {

namespace {

// With an index, marks are noted this far apart at most.
constexpr std::size_t MarkPiece = 16u << 10;
// The calling thread reads a mapped part in steps this long, with a word to
// the progress in between.
constexpr std::size_t ProgressStep = 1u << 20;
// While the calling thread waits for the others, progress goes out this often.
constexpr auto ProgressWait = std::chrono::milliseconds(50);

// How a part begins, which decides what the part before it changes in it:
// only blanks up to its first line end, and the line end closes a word if
// the part before ended inside one; only blanks throughout (so far), and the
// word open before it stays open; content first, and the part stands alone.
enum class Lead { OnlyBlanks, Content, BlanksThenLineEnd };

enum class PartEnd { Done, Short, Failed, Nul, Unmapped, Vanished, Stopped };

struct SpanMark {
    WordIndex::Mark mark; // words counted from the part's start
    std::uint64_t piece;  // the mark piece it closes, counted from the text's start
};

// One part's count, as if it began a line. Plain data: the scan of a
// mapped part writes it from inside the bus-error guard.
struct PartCount {
    scan::CountState state;
    Lead lead = Lead::OnlyBlanks;
    SpanMark* marks = nullptr; // this part's slots
    std::size_t markSlots = 0;
    std::size_t markCount = 0;
};

struct Part {
    PartCount count;
    PartEnd end = PartEnd::Stopped; // parts never taken stay stopped
    int error = 0;
};

// Everything the threads share.
struct Shared {
    explicit Shared(WayTrial::Mode mode) : trial(mode) {}

    const InputFile* file = nullptr;
    std::uint64_t textStart = 0;
    std::uint64_t fileSize = 0; // when opened
    std::uint64_t partSize = 0;
    std::size_t pieceSize = 0;
    scan::CountBlockFn count = nullptr;
    bool withMarks = false;
    std::uint64_t markStride = 1; // pieces between marks noted
    std::vector<Part> parts;
    std::vector<SpanMark> markSlots;
    WayTrial trial;
    std::atomic<std::uint64_t> nextPart{0};
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;

    std::uint64_t partBegin(std::uint64_t k) const { return std::max(k * partSize, textStart); }
    std::uint64_t partEnd(std::uint64_t k) const { return std::max(std::min((k + 1) * partSize, fileSize), partBegin(k)); }
    bool isLast(std::uint64_t k) const { return k + 1 == parts.size(); }
};

// A span of a part's bytes to count: plain data, as the mapped scan runs
// inside the bus-error guard.
struct Span {
    const unsigned char* bytes = nullptr;
    std::size_t size = 0;
    std::uint64_t textOffset = 0; // where bytes[0] lies in the text
    scan::CountBlockFn count = nullptr;
    bool withMarks = false;
    std::uint64_t markStride = 1;
    PartCount* part = nullptr;
};

void settleLead(Lead& lead, const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n && lead == Lead::OnlyBlanks; ++i) {
        if (p[i] == ' ' || p[i] == '\t')
            continue;
        lead = p[i] == '\n' || p[i] == '\r' ? Lead::BlanksThenLineEnd : Lead::Content;
    }
}

// Counts a span; with marks, notes where the line after a mark piece's last
// line end starts, for pieces that closed a word, every markStride pieces.
void countSpan(void* context)
{
    const Span& span = *static_cast<const Span*>(context);
    PartCount& part = *span.part;
    settleLead(part.lead, span.bytes, span.size);
    if (!span.withMarks) {
        span.count(span.bytes, span.size, part.state);
        return;
    }
    for (std::size_t start = 0; start < span.size;) {
        const std::uint64_t at = span.textOffset + start;
        const std::size_t size = std::min<std::uint64_t>(MarkPiece - at % MarkPiece, span.size - start);
        const std::uint64_t before = part.state.words;
        span.count(span.bytes + start, size, part.state);
        const std::uint64_t piece = at / MarkPiece;
        if (part.state.words != before && piece % span.markStride == 0 && part.markCount < part.markSlots)
            part.marks[part.markCount++] = {{at + pastLastLineEnd(span.bytes + start, size), part.state.words}, piece};
        start += size;
    }
}

// The processor time this thread has used, copies and page faults in the
// kernel included. Parts are timed by it rather than by the clock: with two
// threads per processor, a part's time on the clock counts the turns the
// other thread took, and a trial timed so picked the slower way now and
// then.
double threadSeconds()
{
#ifdef CLOCK_THREAD_CPUTIME_ID
    timespec now {};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0)
        return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long readAt(int fd, unsigned char* dest, std::size_t size, std::uint64_t offset)
{
#ifdef _WIN32
    (void)fd;
    (void)dest;
    (void)size;
    (void)offset;
    errno = ENOSYS;
    return -1;
#else
    for (;;) {
        const ssize_t n = ::pread(fd, dest, size, static_cast<off_t>(offset));
        if (n >= 0 || errno != EINTR)
            return static_cast<long>(n);
    }
#endif
}

Span spanOf(const Shared& shared, Part& part)
{
    Span span;
    span.count = shared.count;
    span.withMarks = shared.withMarks;
    span.markStride = shared.markStride;
    span.part = &part.count;
    return span;
}

// Reads part `k` in positioned reads that end on multiples of the piece
// size in the file; the last part reads on to the file's end.
PartEnd copyPart(Shared& shared, std::uint64_t k, Part& part, ReadBuffer& buffer,
                 const std::function<bool()>& afterPiece)
{
    Span span = spanOf(shared, part);
    const bool last = shared.isLast(k);
    const std::uint64_t end = shared.partEnd(k);
    for (std::uint64_t at = shared.partBegin(k); at < end || last;) {
        if (shared.stop.load(std::memory_order_relaxed))
            return PartEnd::Stopped;
        std::uint64_t upTo = (at / shared.pieceSize + 1) * shared.pieceSize;
        if (!last)
            upTo = std::min(upTo, end);
        const long n = readAt(shared.file->descriptor(), buffer.bytes(), static_cast<std::size_t>(upTo - at), at);
        if (n < 0) {
            part.error = errno;
            return PartEnd::Failed;
        }
        if (n == 0) {
            if (at < end)
                return PartEnd::Short; // cut short since it was opened
            break;
        }
        span.bytes = buffer.bytes();
        span.size = static_cast<std::size_t>(n);
        span.textOffset = at - shared.textStart;
        countSpan(&span);
        if (part.count.state.sawNul)
            return PartEnd::Nul;
        at += span.size;
        shared.bytesRead.fetch_add(span.size, std::memory_order_relaxed);
        if (afterPiece && !afterPiece())
            return PartEnd::Stopped;
    }
    return PartEnd::Done;
}

// Reads part `k` through a mapping of it, in steps when progress is asked for.
PartEnd mapPart(Shared& shared, std::uint64_t k, Part& part, const std::function<bool()>& afterStep)
{
    const std::uint64_t mapFrom = k * shared.partSize;
    const std::uint64_t begin = shared.partBegin(k);
    const std::uint64_t end = shared.partEnd(k);
    auto window = MappedWindow::map(*shared.file, mapFrom, static_cast<std::size_t>(end - mapFrom));
    if (!window)
        return PartEnd::Unmapped;
    Span span = spanOf(shared, part);
    const std::size_t step = afterStep ? ProgressStep : window->size();
    for (std::uint64_t at = begin; at < end;) {
        if (shared.stop.load(std::memory_order_relaxed))
            return PartEnd::Stopped;
        span.bytes = window->data() + (at - mapFrom);
        span.size = static_cast<std::size_t>(std::min<std::uint64_t>(step, end - at));
        span.textOffset = at - shared.textStart;
        if (!runGuardedScan(countSpan, &span))
            return PartEnd::Vanished;
        if (part.count.state.sawNul)
            return PartEnd::Nul;
        at += span.size;
        shared.bytesRead.fetch_add(span.size, std::memory_order_relaxed);
        if (afterStep && !afterStep())
            return PartEnd::Stopped;
    }
    return PartEnd::Done;
}

// Takes parts until none are left or the count stops, beginning with
// `first` when it is given.
void takeParts(Shared& shared, ReadBuffer& buffer, const std::function<bool()>& afterPiece,
               std::optional<std::uint64_t> first = std::nullopt)
{
    for (;;) {
        if (shared.stop.load(std::memory_order_relaxed))
            return;
        const std::uint64_t k = first ? *std::exchange(first, std::nullopt)
                                      : shared.nextPart.fetch_add(1, std::memory_order_relaxed);
        if (k >= shared.parts.size())
            return;
        Part& part = shared.parts[k];
        // The last part reads on past the size the file had when opened;
        // a part off the page grid cannot be mapped.
        const bool mappable = !shared.isLast(k) && shared.partSize % MappedWindow::granularity() == 0;
        const bool mapped = mappable && shared.trial.mapsPart(k);
        const bool timed = mappable && shared.trial.trying();
        const double start = timed ? threadSeconds() : 0;
        part.end = mapped ? mapPart(shared, k, part, afterPiece) : PartEnd::Unmapped;
        if (part.end == PartEnd::Unmapped) {
            if (mapped)
                shared.trial.mappingFailed(); // and copies from now on
            part.end = copyPart(shared, k, part, buffer, afterPiece);
        }
        const std::uint64_t size = shared.partEnd(k) - shared.partBegin(k);
        if (timed && part.end == PartEnd::Done && size != 0)
            shared.trial.record(mapped, (threadSeconds() - start) / static_cast<double>(size));
        if (part.end != PartEnd::Done) {
            shared.stop.store(true, std::memory_order_relaxed);
            return;
        }
    }
}

bool fileShrank(const TextSource& source)
{
    auto now = source.currentIdentity();
    return !now || now.value().size < source.fileSize();
}

CoreError partError(const TextSource& source, const Part& part)
{
    if (part.end == PartEnd::Short || part.end == PartEnd::Vanished || fileShrank(source))
        return listChangedError(source.path()); // pages past a new end can read as zeros
    if (part.end == PartEnd::Nul)
        return notWordListError(source.path());
    return sentenceError(ErrorCode::ReadFailed, TAVILON_SENTENCE("CoreError", "Cannot read \"%1\": %2."),
                         {source.path(), std::generic_category().message(part.error)});
}

WayTrial::Mode trialMode(ReadWay::Kind kind)
{
    switch (kind) {
    case ReadWay::Kind::Mapped:
        return WayTrial::Mode::Mapped;
    case ReadWay::Kind::Measured:
        return WayTrial::Mode::Measured;
    case ReadWay::Kind::Copied:
        break;
    }
    return WayTrial::Mode::Copied;
}

// Parts and mark slots for the list; marks are noted every so many pieces
// that the index need not thin them much.
void cutParts(Shared& shared, const WordIndex* index)
{
    // Parts before the text's start, when they are smaller than a
    // byte-order mark, are empty.
    const std::uint64_t textSize = shared.fileSize - shared.textStart;
    const std::uint64_t parts = shared.fileSize == 0 ? 1 : (shared.fileSize - 1) / shared.partSize + 1;
    shared.parts.resize(static_cast<std::size_t>(parts));
    if (!index)
        return;
    const std::uint64_t pieces = textSize / MarkPiece + 1;
    shared.markStride = std::bit_ceil((pieces + index->maxMarks() - 1) / index->maxMarks());
    const std::uint64_t piecesPerPart = std::min(shared.partSize, textSize) / MarkPiece + 2;
    const auto slots = static_cast<std::size_t>(piecesPerPart / shared.markStride + 1);
    shared.markSlots.resize(slots * shared.parts.size());
    for (std::size_t k = 0; k < shared.parts.size(); ++k) {
        shared.parts[k].count.marks = shared.markSlots.data() + k * slots;
        shared.parts[k].count.markSlots = slots;
    }
}

} // namespace

Outcome<SharedCount> countShared(const TextSource& source, const ReadWay& way, const ProgressFn& progress,
                                 WordIndex* index)
{
    if (index)
        index->clear();
    Shared shared(trialMode(way.kind));
    shared.file = &source.file();
    shared.textStart = source.textStart();
    shared.fileSize = std::max(source.fileSize(), source.textStart());
    shared.partSize = std::max<std::uint64_t>(way.partSize, 1);
    shared.pieceSize = std::max<std::size_t>(way.pieceSize, 16);
    shared.count = scan::bestKernels().count;
    shared.withMarks = index != nullptr;
    cutParts(shared, index);

    // Every thread's read buffer is taken here: a thread that allocates
    // gets a memory arena of its own, which outlives it.
    const int threads = static_cast<int>(
        std::min<std::uint64_t>(shared.parts.size(), static_cast<std::uint64_t>(std::max(way.threads, 1))));
    std::vector<ReadBuffer> buffers(static_cast<std::size_t>(threads));
    for (ReadBuffer& buffer : buffers)
        buffer.grow(shared.pieceSize);

    bool cancelled = false;
    const auto report = [&] {
        if (!progress || cancelled)
            return !cancelled;
        cancelled = !progress(source.textStart() + shared.bytesRead.load(std::memory_order_relaxed), source.fileSize());
        return !cancelled;
    };
    {
        // The calling thread reads the first part, so that progress comes
        // from the start; threads that cannot be started leave their parts
        // to the others.
        shared.nextPart = 1;
        std::vector<std::unique_ptr<WorkerThread>> workers;
        for (int t = 1; t < threads; ++t) {
            try {
                {
                    std::lock_guard lock(shared.mutex);
                    ++shared.running;
                }
                workers.push_back(std::make_unique<WorkerThread>([&shared, buffer = &buffers[static_cast<std::size_t>(t)]] {
                    takeParts(shared, *buffer, {});
                    std::lock_guard lock(shared.mutex);
                    --shared.running;
                    shared.finished.notify_all();
                }));
            } catch (const std::system_error&) {
                std::lock_guard lock(shared.mutex);
                --shared.running;
            }
        }
        takeParts(shared, buffers[0], report, 0);
        std::unique_lock lock(shared.mutex);
        while (!shared.finished.wait_for(lock, ProgressWait, [&] { return shared.running == 0; })) {
            lock.unlock();
            if (!shared.stop.load() && !report())
                shared.stop.store(true);
            lock.lock();
        }
    }
    if (cancelled)
        return cancelledError();

    // The parts in order: each one's count as if it began a line, set right
    // by how the part before it ended.
    for (const Part& part : shared.parts) {
        if (part.end != PartEnd::Done && part.end != PartEnd::Stopped)
            return partError(source, part); // the others stopped for it
    }
    scan::CountState total;
    for (const Part& part : shared.parts) {
        std::uint64_t wordsBefore = total.words;
        if (total.carry == 0 && part.count.lead == Lead::BlanksThenLineEnd)
            ++wordsBefore; // its first line end closes the word open before it
        if (part.count.lead != Lead::OnlyBlanks)
            total.carry = part.count.state.carry;
        total.words = wordsBefore + part.count.state.words;
        for (std::size_t m = 0; index && m < part.count.markCount; ++m) {
            const SpanMark& noted = part.count.marks[m];
            index->offer({noted.mark.offset, noted.mark.wordsBefore + wordsBefore}, noted.piece);
        }
    }
    if (fileShrank(source))
        return listChangedError(source.path());
    SharedCount result;
    result.words = total.words + (total.carry == 0 ? 1 : 0);
    result.way = way;
    result.way.threads = threads;
    result.way.kind = shared.trial.mapped() ? ReadWay::Kind::Mapped : ReadWay::Kind::Copied;
    return result;
}

} // namespace tavilon
