#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tavilon {

// What went wrong in the core, as a code the windows can act on and a
// sentence a user can read.
enum class ErrorCode {
    OpenFailed,     // the file cannot be opened (missing, no permission, ...)
    NotRegularFile, // a directory, a FIFO, a device: refused before reading
    NotWordList,    // binary content (NUL bytes)
    ReadFailed,     // an I/O error part-way through
    NoWords,        // the list has no field, so nothing can be picked
    ListChanged,    // the file is not the one counted, or has changed since
    TooManyPicks,   // the press asks for more picks than the limit
    TooFewWords,    // more different words asked for than the list holds
    InvalidCount,   // the count text is not a usable field count
    Cancelled,      // the user stopped a long count or press
    OutputFull,     // the picks would pass the lines the output box holds
    WordTooLong,    // a picked word is longer than the output box takes
    WordNotForBox,  // a picked word holds a character the box breaks lines at
    TooMuchText,    // the picks together would pass the press's text budget
    OutOfMemory,    // memory ran out; nothing was changed
    WriteFailed,    // the output could not be written
    WrongUsage,     // the command line asks for what the program does not do
};

struct CoreError {
    ErrorCode code;
    std::string message; // the sentence the window shows
    // For a command-line tool's "NAME: reason": the file the error is about
    // as it was named (empty when none), and why, in a few lowercase words
    // (empty when the sentence says it best).
    std::string subject {};
    std::string reason {};
    // The sentence's English wording with %1, %2... where `args` go, for a
    // window that shows it in the user's language; null when only `message`
    // says it.
    const char* pattern = nullptr;
    std::vector<std::string> args {};
    // The errno value whose reason (systemReason()) is the last of `args`,
    // for a window that words the reason in the user's language; 0 when
    // the sentence gives no system reason.
    int systemError = 0;
    // Arguments that are a number with the noun it counts ("1 line", "2
    // lines"): `args[arg]` holds countedText(pattern, number), which a
    // window says with its language's plural forms.
    struct Counted {
        std::size_t arg;
        const char* pattern;
        std::uint64_t number;
    };
    std::vector<Counted> counted {};
};

// Marks a sentence for the translators (their tools read this mark); the
// sentence itself stays plain English text. `context` groups the sentences.
#define TAVILON_SENTENCE(context, text) text

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

// Nothing, or a CoreError: for an operation that only succeeds or fails.
template <>
class Outcome<void> {
public:
    Outcome() = default;
    Outcome(CoreError error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    const CoreError& error() const { return *error_; }

private:
    std::optional<CoreError> error_;
};

} // namespace tavilon
