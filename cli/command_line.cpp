#include "command_line.h"

#include "number_text.h"

#include <array>
#include <string_view>

namespace tavilon {

namespace {

enum class Option { Number, Output, Help, Version };

struct LongOption {
    std::string_view name;
    Option option;
};

constexpr std::array<LongOption, 4> LongOptions {{
    {"number", Option::Number},
    {"output", Option::Output},
    {"help", Option::Help},
    {"version", Option::Version},
}};

ParsedCommandLine error(std::string message)
{
    return {std::nullopt, std::move(message)};
}

std::string quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    out += text;
    out += '"';
    return out;
}

// The long option that `name` is the whole name of, or the start of only one.
std::optional<Option> findLongOption(std::string_view name)
{
    std::optional<Option> found;
    int matches = 0;
    for (const LongOption& candidate : LongOptions) {
        if (candidate.name == name)
            return candidate.option;
        if (candidate.name.starts_with(name)) {
            found = candidate.option;
            ++matches;
        }
    }
    return matches == 1 ? found : std::nullopt;
}

} // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    std::optional<std::string> picks;
    std::optional<std::string> output;
    std::vector<std::string> operands;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg); // "-" alone is standard input, an operand
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        Option option;
        std::string spelled; // the option as messages name it
        std::optional<std::string> value;
        if (arg[1] == '-') {
            const std::size_t equals = arg.find('=');
            const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
            const std::optional<Option> found = findLongOption(name);
            if (!found)
                return error("unknown option " + quoted(arg.substr(0, equals)));
            option = *found;
            spelled = "--" + std::string(LongOptions[static_cast<std::size_t>(option)].name);
            if (equals != std::string::npos)
                value = arg.substr(equals + 1);
            if ((option == Option::Help || option == Option::Version) && value)
                return error(spelled + " takes no value");
        } else {
            spelled = arg.substr(0, 2);
            if (arg[1] == 'h' && arg.size() == 2)
                option = Option::Help;
            else if (arg[1] == 'n')
                option = Option::Number;
            else if (arg[1] == 'o')
                option = Option::Output;
            else
                return error("unknown option " + quoted(arg));
            if (arg.size() > 2)
                value = arg.substr(2);
        }

        switch (option) {
        case Option::Help:
            line.action = CommandLine::Action::Help;
            return {line, {}};
        case Option::Version:
            line.action = CommandLine::Action::Version;
            return {line, {}};
        case Option::Number:
        case Option::Output:
            break;
        }
        if (!value) {
            // The next argument is the value, whatever it looks like.
            if (i + 1 == args.size())
                return error(spelled + (option == Option::Number ? " needs a number" : " needs a file name"));
            value = args[++i];
        }
        if (option == Option::Number) {
            if (picks)
                return error("the number of picks is given more than once");
            picks = *value;
        } else {
            if (output)
                return error("the output file is given more than once");
            if (value->empty())
                return error(spelled + " needs a file name");
            output = *value;
        }
    }

    if (output && *output != "-")
        line.output = output;
    if (operands.empty())
        return error("a command is missing");
    const std::string& command = operands[0];
    if (command == "count") {
        line.action = CommandLine::Action::Count;
        if (picks)
            return error("count takes no number of picks");
    } else if (command == "pick") {
        line.action = CommandLine::Action::Pick;
    } else {
        return error("unknown command " + quoted(command));
    }
    if (operands.size() > 2)
        return error(command + " takes one FILE");
    if (operands.size() == 2 && operands[1] != "-")
        line.file = operands[1];
    if (picks) {
        if (!picks->empty() && !isNumeric(*picks))
            return error(quoted(*picks) + " is not a number of picks");
        line.picksText = *picks;
    }
    return {line, {}};
}

} // namespace tavilon
