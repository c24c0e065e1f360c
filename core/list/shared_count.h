#pragma once

#include "scan_kernels.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstddef>
#include <cstdint>

namespace tavilon {

// How a count reads a list held as bytes: cut into parts of `partSize`
// bytes, which `threads` threads take in turn until none are left (so a
// thread on a busy processor simply takes fewer), each copying its part out
// in positioned reads of `pieceSize` bytes into a buffer of its own.
struct CountParts {
    int threads = 1;
    std::size_t pieceSize = 64u << 10;
    std::uint64_t partSize = UINT64_MAX; // the whole list in one part
    scan::CountBlockFn count = scan::bestKernels().count;
};

// The processors this process may run on (what `taskset` allows), at least 1.
int usableProcessors();

// The parts for a list of `textSize` bytes: a small list is read by one
// thread, a large one by two threads per usable processor.
CountParts countPartsFor(std::uint64_t textSize);

// Counts the words of a list read as bytes (not UTF-16), from the start of
// its text, in the parts `parts` gives. The calling thread reads the first
// part, so that progress comes from the start, and only it reports
// progress; when progress asks to stop, every thread stops after the piece
// it is reading. Parts are cut on multiples of partSize in the file. The
// last part reads on to the file's end as it finds it (the files of /proc
// say they hold nothing). A part that ends short of the size the file had
// when opened, or a file written while it was read, means the list
// changed. The source's own position does not move.
//
// With an index, marks are noted as a count on one thread would note them,
// spread out from the start as far as the index holds. The result counts a
// last line without a line end.
Outcome<std::uint64_t> countShared(const TextSource& source, const CountParts& parts,
                                   const ProgressFn& progress = {}, WordIndex* index = nullptr);

} // namespace tavilon
