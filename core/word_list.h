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

// Where fields begin, noted while counting, so that a later pass over the
// same unchanged file can skip straight to the parts it needs. It keeps at
// most a fixed number of marks, spreading them out as the file grows.
class FieldIndex {
public:
    struct Mark {
        std::uint64_t offset;       // a line start, in bytes of text
        std::uint64_t fieldsBefore; // the fields that end before it
    };

    explicit FieldIndex(std::size_t maxMarks = 65536) : maxMarks_(maxMarks < 2 ? 2 : maxMarks) {}

    void clear();
    // Offers the mark found in block `block` of the count.
    void offer(const Mark& mark, std::uint64_t block);
    // The last mark before which fewer than `target` fields end, or nothing.
    const Mark* before(std::uint64_t target) const;
    std::size_t size() const { return marks_.size(); }

private:
    std::vector<Mark> marks_;
    std::size_t maxMarks_;
    std::uint64_t stride_ = 1;
};

// The number of fields as decimal digits, or "" for a list without one.
// Memory stays at one fixed buffer whatever the size of the file. With an
// index, it also notes where fields begin (not for UTF-16 files).
Outcome<std::string> countFields(const std::string& path, const ProgressFn& progress = {},
                                 FieldIndex* index = nullptr);

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
                                               const ProgressFn&, const FieldIndex*);
    // Where a field lies in arena_, packed as begin << SizeBits | size; a
    // field of BigSize bytes or more is kept in bigSpans_ instead.
    static constexpr int SizeBits = 24;
    static constexpr std::uint64_t BigSize = (std::uint64_t{1} << SizeBits) - 1;
    std::uint64_t packSpan(std::size_t begin, std::size_t size);

    std::string arena_;                 // each distinct field once
    std::vector<std::uint64_t> spans_;  // each target's field
    std::vector<std::pair<std::size_t, std::size_t>> bigSpans_;
};

// An index from counting the same, unchanged file lets it skip what lies
// between the targets.
Outcome<PickedFields> collectFields(const std::string& path, const std::vector<std::uint64_t>& targets,
                                    const ProgressFn& progress = {}, const FieldIndex* index = nullptr);

std::string listChangedMessage(const std::string& path, std::uint64_t fieldsFound);

} // namespace tavilon
