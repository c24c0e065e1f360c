#pragma once

#include "field_index.h"
#include "file_identity.h"
#include "outcome.h"
#include "picked_fields.h"
#include "progress.h"
#include "text_source.h"

#include <cstdint>
#include <string>

namespace tavilon {

// A word list is read as fields: a field is one line (ended by CR LF, LF or
// a lone CR) with leading and trailing spaces and tabs trimmed; a line that
// is empty after trimming is not a field. Count and fetch read the list the
// same way, so every target from 1 to the count reaches a field.

// The number of words of an opened list, read from where the source
// stands (its start): 0 for a list without any.
// Memory stays at one fixed buffer whatever the size of the file. With an
// index, it also notes where fields begin (not for UTF-16 files).
Outcome<std::uint64_t> countWords(TextSource& source, const ProgressFn& progress = {}, FieldIndex* index = nullptr);

// The same for the file at `path`. With `identity`, it also tells which
// file was counted, as it stood when it was opened, so that a later press
// can make sure it reads the same one.
Outcome<std::uint64_t> countWords(const std::string& path, const ProgressFn& progress = {},
                                  FieldIndex* index = nullptr, FileIdentity* identity = nullptr);

// The text of the target-th field (1-based), read from the top of the file,
// as UTF-8. A plain field-by-field reader: simple, and the reference that the
// fast paths are checked against.
Outcome<std::string> fetchField(const std::string& path, std::uint64_t target);

} // namespace tavilon
