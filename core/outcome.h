#pragma once

#include <string>
#include <utility>
#include <variant>

namespace tavilon {

// What went wrong in the core, as a code the windows can act on and a
// sentence a user can read.
enum class ErrorCode {
    OpenFailed,     // the file cannot be opened (missing, no permission, ...)
    NotRegularFile, // a directory, a FIFO, a device: refused before reading
    NotWordList,    // binary content (NUL bytes)
    ReadFailed,     // an I/O error part-way through
    NoWords,        // the list has no field, so nothing can be picked
    ListChanged,    // a target lies beyond the fields the file now holds
    TooManyPicks,   // the press asks for more picks than the limit
    InvalidCount,   // the count text is not a usable field count
    Cancelled,      // the user stopped a long count or press
};

struct CoreError {
    ErrorCode code;
    std::string message;
};

// A value or a CoreError; small stand-in for std::expected.
template <class T>
class Outcome {
public:
    Outcome(T value) : data_(std::move(value)) {}
    Outcome(CoreError error) : data_(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(data_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(data_); }
    T& value() { return std::get<T>(data_); }
    const CoreError& error() const { return std::get<CoreError>(data_); }

private:
    std::variant<T, CoreError> data_;
};

} // namespace tavilon
