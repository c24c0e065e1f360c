#include "command_line.h"

#include "option_reader.h"
#include "core/errors/core_errors.h"
#include "core/picking/picks_number.h"

#include <string_view>

namespace tavilon {

namespace {

// The long options' values; -h, -n, -o, -u and -z share theirs with the short forms.
constexpr int RandomSourceOption = 'R' + 0x100; // no short form

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

// What the arguments say before the command is known: the values as they
// were typed, and the operands in order.
struct Given {
    CommandLine line;      // -u and -z; the action, once --help or --version has answered
    bool answered = false; // --help or --version came first: nothing after it counts
    std::optional<std::string> picks;
    std::optional<std::string> output;
    std::optional<std::string> randomSource;
    std::vector<std::string> operands;
};

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

// Keeps the value of -n, -o or --random-source in `kept`; `what` names it
// for the error when it was given before. The values of -o and
// --random-source are file names, which may not be empty.
std::optional<CoreError> keepValue(std::optional<std::string>& kept, const FoundOption& found, const char* what)
{
    if (kept)
        return wrongUsage(std::string(what) + " is given more than once");
    if (found.code != 'n' && *found.value == '\0')
        return wrongUsage(spelled(found.code, found.arg) + " needs a file name");
    kept = found.value;
    return std::nullopt;
}

// The error for what getopt_long refused: a missing value (':'), or ('?')
// an unknown option or a value given to an option that takes none.
CoreError refusal(const FoundOption& found)
{
    const std::string_view arg = found.arg;
    if (found.code == ':')
        return wrongUsage(spelled(found.refused, arg)
                          + (found.refused == 'n' ? " needs a number" : " needs a file name"));
    if (arg.starts_with("--") && found.refused != 0)
        return wrongUsage(spelled(found.refused, arg) + " takes no value");
    return unknownOption(arg.substr(0, arg.starts_with("--") ? arg.find('=') : arg.size()));
}

// Reads the options and operands in order. --help and --version answer
// where they stand, and the first error ends the reading.
Outcome<Given> readArguments(const std::vector<std::string>& args)
{
    Given given;
    OptionReader reader("tavilon-pick", args, ShortOptions, LongOptions);
    while (const auto found = reader.next()) {
        std::optional<CoreError> refused;
        switch (found->code) {
        case 1:
            given.operands.emplace_back(found->value); // "-" alone is standard input, an operand
            break;
        case 'h':
            if (found->arg != "-h" && !found->arg.starts_with("--")) // "-hx" is no option of ours
                return unknownOption(found->arg);
            given.line.action = CommandLine::Action::Help;
            given.answered = true;
            return given;
        case VersionOption:
            given.line.action = CommandLine::Action::Version;
            given.answered = true;
            return given;
        case 'n':
            refused = keepValue(given.picks, *found, "the number of picks");
            break;
        case 'o':
            refused = keepValue(given.output, *found, "the output file");
            break;
        case RandomSourceOption:
            refused = keepValue(given.randomSource, *found, "the random source");
            break;
        case 'u':
            given.line.unique = true;
            break;
        case 'z':
            given.line.zeroTerminated = true;
            break;
        default:
            return refusal(*found);
        }
        if (refused)
            return *refused;
    }
    for (std::string& operand : reader.rest())
        given.operands.push_back(std::move(operand));
    return given;
}

// Takes the command, the first operand, and checks what comes with it:
// count takes none of pick's options, and either command one FILE at most.
std::optional<CoreError> takeCommand(CommandLine& line, const Given& given)
{
    const std::string& command = given.operands[0];
    if (command == "count") {
        line.action = CommandLine::Action::Count;
        if (given.picks)
            return wrongUsage("count takes no number of picks");
        if (given.randomSource || line.unique)
            return wrongUsage(std::string("count takes no ") + (line.unique ? "--unique" : "--random-source"));
    } else if (command == "pick") {
        line.action = CommandLine::Action::Pick;
    } else {
        return wrongUsage("unknown command " + quotedPath(command));
    }
    if (given.operands.size() > 2)
        return wrongUsage(command + " takes one FILE");
    return std::nullopt;
}

// The command line the arguments ask for, once they are checked against
// each other: a command, at most one FILE, and a number of picks.
Outcome<CommandLine> checkedLine(const Given& given)
{
    CommandLine line = given.line;
    if (given.output && *given.output != "-")
        line.output = given.output;
    if (given.operands.empty())
        return wrongUsage("a command is missing");
    if (auto refused = takeCommand(line, given))
        return *refused;
    if (given.operands.size() == 2 && given.operands[1] != "-")
        line.file = given.operands[1];
    line.randomSource = given.randomSource;
    if (given.picks) {
        const PicksNumber number = picksNumber(*given.picks);
        if (!number.picks)
            return wrongUsage(quotedPath(*given.picks) + " is not a number of picks");
        line.picks = number.picks.value();
    }
    return line;
}

} // namespace

Outcome<CommandLine> parseCommandLine(const std::vector<std::string>& args)
{
    const Outcome<Given> given = readArguments(args);
    if (!given)
        return given.error();
    if (given.value().answered)
        return given.value().line;
    return checkedLine(given.value());
}

} // namespace tavilon
