#pragma once

#include "picked_words.h"
#include "text_source.h"
#include "word_index.h"
#include "core/errors/file_identity.h"
#include "core/errors/outcome.h"
#include "core/errors/progress.h"

#include <cstdint>
#include <string>

namespace tavilon {

// A word list is read line by line: a word is one line (ended by CR LF, LF or
// a lone CR) with leading and trailing spaces and tabs trimmed; a line that
// is empty after trimming is not a word. Count and fetch read the list the
// same way, so every target from 1 to the count reaches a word.

// The number of words of an opened list, read from where the source
// stands (its start): 0 for a list without any.
// Memory stays at one fixed buffer whatever the size of the file. With an
// index, it also notes where words begin (not for UTF-16 files).
Outcome<std::uint64_t> countWords(TextSource& source, const ProgressFn& progress = {}, WordIndex* index = nullptr);

// The same for the file at `path`. With `identity`, it also tells which
// file was counted, as it stood when it was opened, so that a later press
// can make sure it reads the same one.
Outcome<std::uint64_t> countWords(const std::string& path, const ProgressFn& progress = {},
                                  WordIndex* index = nullptr, FileIdentity* identity = nullptr);

// The text of the target-th word (1-based), read from the top of the file,
// as UTF-8. A plain word-by-word reader: simple, and the reference that the
// fast paths are checked against.
Outcome<std::string> fetchWord(const std::string& path, std::uint64_t target);

} // namespace tavilon
