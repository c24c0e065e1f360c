#include "core_errors.h"

namespace tavilon {

std::string quotedPath(const std::string& path)
{
    return "\"" + path + "\"";
}

CoreError notWordListError(const std::string& path)
{
    return {ErrorCode::NotWordList, quotedPath(path) + " is not a word list: it holds binary data (NUL bytes).", path,
            "not a word list: it holds binary data (NUL bytes)"};
}

CoreError cancelledError()
{
    return {ErrorCode::Cancelled, "Stopped; nothing was changed."};
}

CoreError listChangedError(const std::string& path)
{
    return {ErrorCode::ListChanged,
            "The word list " + quotedPath(path) + " has changed since it was counted. Load it again to count it afresh.",
            path, "has changed since it was counted"};
}

CoreError outOfMemoryError()
{
    return {ErrorCode::OutOfMemory, "There is not enough memory for this; nothing was changed. Ask for fewer words."};
}

CoreError textBudgetError(std::size_t budget)
{
    return {ErrorCode::TooMuchText, "These picks would make more than " + std::to_string(budget >> 20)
                                        + " MiB of text, more than one press may add to the output box. "
                                          "Ask for fewer words."};
}

} // namespace tavilon
