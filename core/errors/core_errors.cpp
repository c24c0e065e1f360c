#include "core_errors.h"

#include <cstring>
#include <locale.h>
#include <string.h>
#include <sys/stat.h>

namespace tavilon {

std::string systemReason(int err)
{
    // A program that set its locale from the environment (every Qt program
    // does) would get strerror() in the user's language, even one the
    // program does not speak; the C locale's text is the same everywhere.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return cLocale ? ::strerror_l(err, cLocale) : std::strerror(err);
}

std::string kindOf(unsigned mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a special file";
}

std::string quotedPath(const std::string& path)
{
    return "\"" + path + "\"";
}

std::string fillSentence(std::string_view pattern, const std::vector<std::string>& args)
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto number = static_cast<std::size_t>(next - '0');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && number <= args.size()) {
            text += args[number - 1];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::string countedText(std::string_view pattern, std::uint64_t number)
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.substr(i, 2) == "%n") {
            text += std::to_string(number);
            ++i;
        } else if (pattern.substr(i, 3) == "(s)") {
            text += number == 1 ? "" : "s";
            i += 2;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

CoreError sentenceError(ErrorCode code, const char* pattern, std::vector<std::string> args, std::string subject,
                        std::string reason, int systemError)
{
    CoreError error {code, fillSentence(pattern, args), std::move(subject), std::move(reason)};
    error.pattern = pattern;
    error.args = std::move(args);
    error.systemError = systemError;
    return error;
}

CoreError notWordListError(const std::string& path)
{
    return sentenceError(ErrorCode::NotWordList,
                         TAVILON_SENTENCE("CoreError", "\"%1\" is not a word list: it holds binary data (NUL bytes)."),
                         {path}, path, "not a word list: it holds binary data (NUL bytes)");
}

CoreError cancelledError()
{
    return sentenceError(ErrorCode::Cancelled, TAVILON_SENTENCE("CoreError", "Stopped; nothing was changed."), {});
}

CoreError openFailedError(const std::string& path, int err)
{
    return sentenceError(ErrorCode::OpenFailed, TAVILON_SENTENCE("CoreError", "Cannot open \"%1\": %2."),
                         {path, systemReason(err)}, path, systemReason(err), err);
}

CoreError readFailedError(const std::string& path, int err)
{
    return sentenceError(ErrorCode::ReadFailed, TAVILON_SENTENCE("CoreError", "Cannot read \"%1\": %2."),
                         {path, systemReason(err)}, path, systemReason(err), err);
}

CoreError listChangedError(const std::string& path)
{
    return sentenceError(ErrorCode::ListChanged,
                         TAVILON_SENTENCE("CoreError", "The word list \"%1\" has changed since it was counted. "
                                                       "Load it again to count it afresh."),
                         {path}, path, "has changed since it was counted");
}

CoreError outOfMemoryError()
{
    return sentenceError(ErrorCode::OutOfMemory,
                         TAVILON_SENTENCE("CoreError", "There is not enough memory for this; nothing was changed. "
                                                       "Ask for fewer words."),
                         {});
}

CoreError textBudgetError(std::size_t budget)
{
    return sentenceError(ErrorCode::TooMuchText,
                         TAVILON_SENTENCE("CoreError", "These picks would make more than %1 MiB of text, more than one "
                                                       "press may add to the output box. Ask for fewer words."),
                         {std::to_string(budget >> 20)});
}

} // namespace tavilon
