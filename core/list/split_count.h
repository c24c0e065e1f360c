#pragma once

#include "text_source.h"
#include "word_index.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavilon {

// Counts the words of a list read as bytes (not UTF-16), from the start of
// its text, in parts: the text is cut at `splits` (ascending offsets in the
// text), the first part is read by the calling thread and every other one
// by a thread of its own, each in positioned reads of `pieceSize` bytes, so
// the source's own position does not move. The last part reads on to the
// file's end as it finds it. A part that ends short of the size the file
// had when opened means the list changed.
//
// Progress is reported from the calling thread only; when it asks to stop,
// every thread stops after the piece it is reading. With an index, the
// marks of every part are noted as a count on one thread would note them.
// The result counts a last line without a line end.
Outcome<std::uint64_t> countInParts(const TextSource& source, const std::vector<std::uint64_t>& splits,
                                    std::size_t pieceSize, const ProgressFn& progress = {},
                                    WordIndex* index = nullptr);

// Where to cut a list's text for `parts` parts of about equal size, each
// cut on a multiple of `alignment` in the file.
std::vector<std::uint64_t> evenSplits(const TextSource& source, int parts, std::size_t alignment);

} // namespace tavilon
