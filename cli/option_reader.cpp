#include "option_reader.h"

#include "core/errors/core_errors.h"

#include <algorithm>

namespace tavilon {

CoreError wrongUsage(std::string what)
{
    return {ErrorCode::WrongUsage, std::move(what)};
}

CoreError unknownOption(std::string_view arg)
{
    return wrongUsage("unknown option " + quotedPath(std::string(arg)));
}

OptionReader::OptionReader(const char* program, const std::vector<std::string>& args, const char* shortOptions,
                           const option* longOptions)
    : strings_ {program}, shortOptions_(shortOptions), longOptions_(longOptions)
{
    strings_.insert(strings_.end(), args.begin(), args.end());
    for (std::string& s : strings_)
        argv_.push_back(s.data());
    argv_.push_back(nullptr);
    opterr = 0; // the messages are the program's own
    optind = 0; // starts afresh, whatever an earlier reader left
}

std::optional<FoundOption> OptionReader::next()
{
    const int argc = static_cast<int>(strings_.size());
    // The argument this call starts on: a short option's value takes the
    // rest of it, and several short options may share it ("-uzn3").
    const int at = optind == 0 ? 1 : optind;
    const int code = getopt_long(argc, argv_.data(), shortOptions_, longOptions_, nullptr);
    if (code == -1)
        return std::nullopt;
    const std::string_view arg = at < argc ? strings_[static_cast<std::size_t>(at)] : std::string_view();
    return FoundOption {code, arg, optarg, optopt};
}

std::vector<std::string> OptionReader::rest() const
{
    const std::size_t first = std::min(static_cast<std::size_t>(std::max(optind, 1)), strings_.size());
    return {strings_.begin() + static_cast<std::ptrdiff_t>(first), strings_.end()};
}

} // namespace tavilon
