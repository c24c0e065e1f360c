#include "command_line.h"

#include "core/picking/picks_number.h"

#include <getopt.h>

#include <string_view>

namespace tavilon {

namespace {

// The long options' values; -h, -n, -o, -u and -z share theirs with the short forms.
constexpr int VersionOption = 'V' + 0x100; // no short form
constexpr int RandomSourceOption = 'R' + 0x100;

constexpr option LongOptions[] = {
    {"number", required_argument, nullptr, 'n'},
    {"output", required_argument, nullptr, 'o'},
    {"random-source", required_argument, nullptr, RandomSourceOption},
    {"unique", no_argument, nullptr, 'u'},
    {"zero-terminated", no_argument, nullptr, 'z'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, VersionOption},
    {nullptr, 0, nullptr, 0},
};
// '-': operands come back in order, as option 1, also under POSIXLY_CORRECT;
// ':': a missing value comes back as ':', told apart from an unknown option.
constexpr char ShortOptions[] = "-:hn:o:uz";

CoreError error(std::string message)
{
    return {ErrorCode::WrongUsage, std::move(message)};
}

std::string quoted(std::string_view text)
{
    return '"' + std::string(text) + '"';
}

// The option `value` stands for, as messages name it: its long name when it
// was spelled long (however shortened), else its short one.
std::string spelled(int value, std::string_view arg)
{
    std::string name = "-";
    if (!arg.starts_with("--")) {
        name += static_cast<char>(value);
        return name;
    }
    for (const option& o : LongOptions) {
        if (o.name && o.val == value)
            return name + '-' + o.name;
    }
    return std::string(arg);
}

} // namespace

Outcome<CommandLine> parseCommandLine(const std::vector<std::string>& args)
{
    // getopt_long wants a writable argv led by the program's name.
    std::vector<std::string> strings {"tavilon-pick"};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(strings.size());

    CommandLine line;
    std::optional<std::string> picks;
    std::optional<std::string> output;
    std::optional<std::string> randomSource;
    std::vector<std::string> operands;

    opterr = 0;  // the messages are ours
    optind = 0;  // starts afresh, whatever an earlier parse left
    for (;;) {
        // The argument this call starts on: -n and -o take the rest of
        // theirs as the value, only -u and -z may share one ("-uzn3").
        const int at = optind == 0 ? 1 : optind;
        const int c = getopt_long(argc, argv.data(), ShortOptions, LongOptions, nullptr);
        if (c == -1)
            break;
        const std::string_view arg = at < argc ? strings[static_cast<std::size_t>(at)] : std::string_view();
        switch (c) {
        case 1:
            operands.emplace_back(optarg); // "-" alone is standard input, an operand
            break;
        case 'h':
            if (arg != "-h" && !arg.starts_with("--")) // "-hx" is no option of ours
                return error("unknown option " + quoted(arg));
            line.action = CommandLine::Action::Help;
            return line;
        case VersionOption:
            line.action = CommandLine::Action::Version;
            return line;
        case 'n':
            if (picks)
                return error("the number of picks is given more than once");
            picks = optarg;
            break;
        case 'o':
            if (output)
                return error("the output file is given more than once");
            if (*optarg == '\0')
                return error(spelled(c, arg) + " needs a file name");
            output = optarg;
            break;
        case RandomSourceOption:
            if (randomSource)
                return error("the random source is given more than once");
            if (*optarg == '\0')
                return error(spelled(c, arg) + " needs a file name");
            randomSource = optarg;
            break;
        case 'u':
            line.unique = true;
            break;
        case 'z':
            line.zeroTerminated = true;
            break;
        case ':':
            return error(spelled(optopt, arg) + (optopt == 'n' ? " needs a number" : " needs a file name"));
        default: // '?': unknown, or a value given to an option that takes none
            if (arg.starts_with("--") && optopt != 0)
                return error(spelled(optopt, arg) + " takes no value");
            return error("unknown option " + quoted(arg.substr(0, arg.starts_with("--") ? arg.find('=') : arg.size())));
        }
    }
    // After "--", everything left is an operand.
    for (int i = optind; i < argc; ++i)
        operands.push_back(strings[static_cast<std::size_t>(i)]);

    if (output && *output != "-")
        line.output = output;
    if (operands.empty())
        return error("a command is missing");
    const std::string& command = operands[0];
    if (command == "count") {
        line.action = CommandLine::Action::Count;
        if (picks)
            return error("count takes no number of picks");
        if (randomSource || line.unique)
            return error(std::string("count takes no ") + (line.unique ? "--unique" : "--random-source"));
    } else if (command == "pick") {
        line.action = CommandLine::Action::Pick;
    } else {
        return error("unknown command " + quoted(command));
    }
    if (operands.size() > 2)
        return error(command + " takes one FILE");
    if (operands.size() == 2 && operands[1] != "-")
        line.file = operands[1];
    line.randomSource = randomSource;
    if (picks) {
        const PicksNumber number = picksNumber(*picks);
        if (!number.picks)
            return error(quoted(*picks) + " is not a number of picks");
        line.picks = number.picks.value();
    }
    return line;
}

} // namespace tavilon
