#include "split_count.h"

#include "scan_kernels.h"
#include "worker_thread.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tavilon {

namespace {

// With an index, marks are noted this far apart at most.
constexpr std::size_t MarkPiece = 16u << 10;
// While the calling thread waits for the others, progress goes out this often.
constexpr auto ProgressWait = std::chrono::milliseconds(50);

// How a part begins, which decides what the part before it changes in it:
// only blanks up to its first line end, and the line end closes a word if
// the part before ended inside one; only blanks throughout, and the word
// open before it stays open; content first, and the part stands alone.
enum class Lead { Undecided, Content, BlanksThenLineEnd, AllBlanks };

enum class PartEnd { Done, Short, Failed, Nul, Stopped };

struct Part {
    std::uint64_t begin = 0; // file offsets
    std::uint64_t end = 0;   // the last part reads on past it to the file's end
    bool last = false;
    // Counted as if the part began a line.
    scan::CountState state;
    Lead lead = Lead::Undecided;
    // Taken before the thread starts: a thread that allocates gets a
    // memory arena of its own, which outlives it.
    std::vector<unsigned char> buffer;
    WordIndex marks;
    PartEnd result = PartEnd::Done;
    int error = 0;
};

// Everything the threads share.
struct Shared {
    int fd = -1;
    std::uint64_t textStart = 0;
    std::size_t pieceSize = 0;
    bool withMarks = false;
    scan::CountBlockFn count = nullptr;
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;
};

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

void settleLead(Lead& lead, const unsigned char* p, std::size_t n)
{
    for (std::size_t i = 0; i < n && lead == Lead::Undecided; ++i) {
        if (p[i] == ' ' || p[i] == '\t')
            continue;
        lead = p[i] == '\n' || p[i] == '\r' ? Lead::BlanksThenLineEnd : Lead::Content;
    }
}

// Just past the last line end in [p, p + n), or 0 when there is none.
std::size_t pastLastLineEnd(const unsigned char* p, std::size_t n)
{
    for (std::size_t i = n; i > 0; --i) {
        if (p[i - 1] == '\n' || p[i - 1] == '\r')
            return i;
    }
    return 0;
}

// Counts one piece read at file offset `at`; with marks, notes after every
// MarkPiece bytes that closed a word where the line after them starts.
void countPiece(Shared& shared, Part& part, const unsigned char* p, std::size_t n, std::uint64_t at,
                std::uint64_t& markPieces)
{
    if (!shared.withMarks) {
        shared.count(p, n, part.state);
        return;
    }
    for (std::size_t start = 0; start < n; start += MarkPiece, ++markPieces) {
        const std::size_t size = std::min(MarkPiece, n - start);
        const std::uint64_t before = part.state.words;
        shared.count(p + start, size, part.state);
        if (part.state.words != before)
            part.marks.offer({at + start + pastLastLineEnd(p + start, size) - shared.textStart, part.state.words},
                             markPieces);
    }
}

PartEnd readPart(Shared& shared, Part& part, const std::function<bool()>& afterPiece)
{
    std::vector<unsigned char>& buffer = part.buffer;
    std::uint64_t markPieces = 0;
    std::uint64_t at = part.begin;
    while (at < part.end || part.last) {
        if (shared.stop.load(std::memory_order_relaxed))
            return PartEnd::Stopped;
        // Reads end on multiples of the piece size in the file.
        std::uint64_t upTo = (at / shared.pieceSize + 1) * shared.pieceSize;
        if (!part.last)
            upTo = std::min(upTo, part.end);
        const long n = readAt(shared.fd, buffer.data(), static_cast<std::size_t>(upTo - at), at);
        if (n < 0) {
            part.error = errno;
            return PartEnd::Failed;
        }
        if (n == 0) {
            if (at < part.end)
                return PartEnd::Short; // cut short since it was opened
            break;
        }
        const auto got = static_cast<std::size_t>(n);
        settleLead(part.lead, buffer.data(), got);
        countPiece(shared, part, buffer.data(), got, at, markPieces);
        if (part.state.sawNul)
            return PartEnd::Nul;
        at += got;
        shared.bytesRead.fetch_add(got, std::memory_order_relaxed);
        if (afterPiece && !afterPiece())
            return PartEnd::Stopped;
    }
    if (part.lead == Lead::Undecided)
        part.lead = Lead::AllBlanks;
    return PartEnd::Done;
}

void runPart(Shared& shared, Part& part, const std::function<bool()>& afterPiece)
{
    part.result = readPart(shared, part, afterPiece);
    if (part.result != PartEnd::Done)
        shared.stop.store(true, std::memory_order_relaxed);
}

bool fileShrank(const TextSource& source)
{
    auto now = source.currentIdentity();
    return !now || now.value().size < source.fileSize();
}

CoreError partError(const TextSource& source, const Part& part)
{
    if (part.result == PartEnd::Short || fileShrank(source))
        return listChangedError(source.path()); // pages past a new end can read as zeros
    if (part.result == PartEnd::Nul)
        return notWordListError(source.path());
    return sentenceError(ErrorCode::ReadFailed, TAVILON_SENTENCE("CoreError", "Cannot read \"%1\": %2."),
                         {source.path(), std::generic_category().message(part.error)});
}

} // namespace

std::vector<std::uint64_t> evenSplits(const TextSource& source, int parts, std::size_t alignment)
{
    std::vector<std::uint64_t> splits;
    const std::uint64_t size = source.fileSize();
    for (int k = 1; k < parts; ++k) {
        const std::uint64_t cut = size / static_cast<std::uint64_t>(parts) * static_cast<std::uint64_t>(k)
                                  / alignment * alignment;
        if (cut > source.textStart() && (splits.empty() || cut - source.textStart() > splits.back()))
            splits.push_back(cut - source.textStart());
    }
    return splits;
}

Outcome<std::uint64_t> countInParts(const TextSource& source, const std::vector<std::uint64_t>& splits,
                                    std::size_t pieceSize, const ProgressFn& progress, WordIndex* index)
{
    if (index)
        index->clear();
    Shared shared;
    shared.fd = source.file().descriptor();
    shared.textStart = source.textStart();
    shared.pieceSize = std::max<std::size_t>(pieceSize, 16);
    shared.withMarks = index != nullptr;
    shared.count = scan::bestKernels().count;

    const std::uint64_t fileSize = std::max(source.fileSize(), source.textStart());
    std::vector<Part> parts(splits.size() + 1);
    std::uint64_t begin = source.textStart();
    for (std::size_t k = 0; k < parts.size(); ++k) {
        Part& part = parts[k];
        part.last = k == splits.size();
        part.begin = begin;
        part.end = part.last ? fileSize : std::clamp(source.textStart() + splits[k], begin, fileSize);
        begin = part.end;
        part.buffer.resize(shared.pieceSize);
        if (index) {
            part.marks = WordIndex(index->maxMarks());
            part.marks.reserveAll();
        }
    }

    bool cancelled = false;
    const auto report = [&] {
        if (!progress || cancelled)
            return !cancelled;
        cancelled = !progress(source.textStart() + shared.bytesRead.load(std::memory_order_relaxed), source.fileSize());
        return !cancelled;
    };
    {
        // Parts from the second on run on threads of their own; one that
        // cannot be started is read here after the first.
        std::vector<std::unique_ptr<WorkerThread>> threads;
        threads.reserve(parts.size());
        std::vector<Part*> leftOver;
        for (std::size_t k = 1; k < parts.size(); ++k) {
            try {
                {
                    std::lock_guard lock(shared.mutex);
                    ++shared.running;
                }
                threads.push_back(std::make_unique<WorkerThread>([&shared, part = &parts[k]] {
                    runPart(shared, *part, {});
                    std::lock_guard lock(shared.mutex);
                    --shared.running;
                    shared.finished.notify_all();
                }));
            } catch (const std::system_error&) {
                std::lock_guard lock(shared.mutex);
                --shared.running;
                leftOver.push_back(&parts[k]);
            }
        }
        runPart(shared, parts[0], report);
        for (Part* part : leftOver) {
            if (!shared.stop.load())
                runPart(shared, *part, report);
            else
                part->result = PartEnd::Stopped;
        }
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
    for (const Part& part : parts) {
        if (part.result != PartEnd::Done && part.result != PartEnd::Stopped)
            return partError(source, part); // the others stopped for it
    }
    scan::CountState total;
    for (const Part& part : parts) {
        std::uint64_t wordsBefore = total.words;
        if (total.carry == 0 && part.lead == Lead::BlanksThenLineEnd)
            ++wordsBefore; // its first line end closes the word open before it
        if (part.lead != Lead::AllBlanks)
            total.carry = part.state.carry;
        total.words = wordsBefore + part.state.words;
        if (index)
            index->append(part.marks, wordsBefore);
    }
    if (fileShrank(source))
        return listChangedError(source.path());
    return total.words + (total.carry == 0 ? 1 : 0);
}

} // namespace tavilon
