#pragma once

#include "outcome.h"
#include "progress.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tavilon {

// A word list is read as fields: a field is one line (ended by CR LF, LF or
// a lone CR) with leading and trailing spaces and tabs trimmed; a line that
// is empty after trimming is not a field. Count and fetch read the list the
// same way, so every target from 1 to the count reaches a field.

// The number of fields as decimal digits, or "" for a list without one.
// Memory stays at one fixed buffer whatever the size of the file.
Outcome<std::string> countFields(const std::string& path, const ProgressFn& progress = {});

// The text of the target-th field (1-based), read from the top of the file,
// as UTF-8. A plain field-by-field reader: simple, and the reference that the
// fast paths are checked against.
Outcome<std::string> fetchField(const std::string& path, std::uint64_t target);

// The highest field number that can be looked up (far beyond any file).
constexpr std::uint64_t MaxFieldNumber = (std::uint64_t{1} << 44) - 1;

// The fields at the given targets (each 1-based, any order, repeats allowed)
// read in one pass over the list. Field i of the result belongs to
// targets[i]. Reading stops at the highest target. At most 2^20 targets.
class PickedFields {
public:
    std::size_t size() const { return spans_.size(); }
    // The total size of all fields, repeats counted.
    std::size_t totalSize() const;
    std::string_view field(std::size_t i) const;

private:
    friend Outcome<PickedFields> collectFields(const std::string&, const std::vector<std::uint64_t>&,
                                               const ProgressFn&);
    // Where a field lies in arena_, packed as begin << SizeBits | size; a
    // field of BigSize bytes or more is kept in bigSpans_ instead.
    static constexpr int SizeBits = 24;
    static constexpr std::uint64_t BigSize = (std::uint64_t{1} << SizeBits) - 1;
    std::uint64_t packSpan(std::size_t begin, std::size_t size);

    std::string arena_;                 // each distinct field once
    std::vector<std::uint64_t> spans_;  // each target's field
    std::vector<std::pair<std::size_t, std::size_t>> bigSpans_;
};

Outcome<PickedFields> collectFields(const std::string& path, const std::vector<std::uint64_t>& targets,
                                    const ProgressFn& progress = {});

std::string listChangedMessage(const std::string& path, std::uint64_t fieldsFound);

} // namespace tavilon
