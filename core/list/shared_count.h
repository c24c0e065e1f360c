#pragma once

#include "read_way.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstdint>

namespace tavilon {

// A count and the way its list was read.
struct SharedCount {
    std::uint64_t words = 0;
    ReadWay way; // Copied or Mapped: the way most parts took
};

// Counts the words of a list read as bytes (not UTF-16), from the start of
// its text, in parts shared out among threads the way `way` gives (see
// ReadWay). The calling thread reads parts too. Parts are cut on multiples
// of way.partSize in the file; only a multiple of the page size is mapped.
// The last part is copied, reading on to the file's end as it finds it; a
// part that ends short of the size the file had when opened, or touches a
// mapped page the file no longer has, means the list changed. The source's
// own position does not move.
//
// Progress is reported from the calling thread only; when it asks to stop,
// every thread stops after the piece it is reading. With an index, marks are
// noted as a count on one thread would note them, spread out from the start
// as far as the index holds. The result counts a last line without a line end.
Outcome<SharedCount> countShared(const TextSource& source, const ReadWay& way, const ProgressFn& progress = {},
                                 WordIndex* index = nullptr);

} // namespace tavilon
