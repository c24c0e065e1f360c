#include "pick_command.h"

#include "command_line.h"
#include "input_spool.h"
#include "tavilon_version.h"
#include "terminal_text.h"
#include "core/list/text_source.h"
#include "core/list/word_list.h"
#include "core/list/zero_terminated.h"
#include "core/picking/draws.h"
#include "core/picking/random_source.h"
#include "core/picking/selection.h"
#include "core/saving/file_writer.h"
#include "core/saving/save_target.h"

#include <cctype>
#include <new>
#include <ostream>
#include <string>

#include <sys/stat.h>

namespace tavilon {

namespace {

constexpr const char* Synopsis =
    "Usage: tavilon-pick count [FILE] [-z] [-o OUTPUT]\n"
    "       tavilon-pick pick [FILE] [-n NUMBER] [-u] [--random-source=SOURCE]\n"
    "                              [-z] [-o OUTPUT]\n"
    "       tavilon-pick --help | --version\n";

constexpr const char* Details =
    "count  prints the number of words in the word list FILE, as the main\n"
    "       window shows it (an empty line for a list without words).\n"
    "pick   prints, one per line, the words that the first press of \"Select\"\n"
    "       picks in a freshly started program with NUMBER in the number-of-\n"
    "       picks box (default 1; empty and 0 also give one pick).\n"
    "       -u and --random-source draw in other ways, below.\n"
    "\n"
    "With FILE \"-\" or no FILE at all, the list is read from standard input.\n"
    "Options may come before or after the command and FILE; \"--\" ends them.\n"
    "\n"
    "  -n, --number=NUMBER  how many words pick draws (-n5 and --number 5 too)\n"
    "  -o, --output=OUTPUT  write to the file OUTPUT instead of standard output:\n"
    "                       the same bytes, written only when all is done; an\n"
    "                       existing file keeps its links, owner and permissions\n"
    "                       (\"-o -\" is standard output)\n"
    "  -u, --unique         draw no word of the list twice: NUMBER different\n"
    "                       words (a word written twice in the list may still\n"
    "                       come twice); more than the list holds is an error\n"
    "      --random-source=SOURCE\n"
    "                       take the randomness from the bytes of the file\n"
    "                       SOURCE (a device or a pipe too; \"-\" is standard\n"
    "                       input, unless the list comes from there):\n"
    "                       /dev/urandom gives new picks on every run, a fixed\n"
    "                       file the same picks every time; every word is\n"
    "                       equally likely, and with -u every choice and order\n"
    "                       of NUMBER words; a SOURCE that runs out before all\n"
    "                       is drawn is an error, and nothing is written\n"
    "  -z, --zero-terminated\n"
    "                       words end at NUL, not at line ends: CR and LF stay\n"
    "                       inside them; pick writes each word followed by NUL\n"
    "                       (count still ends its number with a line end)\n"
    "  -h, --help           print this text and exit\n"
    "      --version        print the program's version and exit\n"
    "\n"
    "A word is one line of the file (with -z, what lies between NULs) with\n"
    "surrounding spaces and tabs removed; blank ones are skipped. Without\n"
    "--random-source the picks repeat from run to run on purpose (they reach\n"
    "at most 16777216 different words): they are not for passwords or anything\n"
    "secret.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or used, or the output\n"
    "could not be written (\"tavilon-pick: NAME: reason\" on standard error),\n"
    "2 wrong usage. A reader that closes the pipe early (| head) ends the\n"
    "program by SIGPIPE, as other tools (status 141 in a shell); where SIGPIPE\n"
    "is ignored, that is status 1.\n";

constexpr const char* StandardInputName = "standard input";
constexpr const char* StandardOutputName = "standard output";
constexpr const char* StandardErrorName = "standard error";

// Every message may hold a file name or an argument: it is escaped whole.
void message(std::ostream& err, const std::string& text)
{
    err << escapedForTerminal("tavilon-pick: " + text) << "\n";
}

// A file's name as messages show it: escaped, and in double quotes (a quote
// inside as \") where it would not read as one name: empty, or holding
// blanks or quotes. The standard streams go by their names, bare.
std::string shownName(const std::string& name)
{
    if (name == StandardInputName || name == StandardOutputName || name == StandardErrorName)
        return name;
    const std::string escaped = escapedForTerminal(name);
    if (!escaped.empty() && escaped.find_first_of(" \"'") == std::string::npos)
        return escaped;
    std::string quoted = "\"";
    for (const char c : escaped)
        quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
    return quoted + '"';
}

// "tavilon-pick: NAME: reason", as core utilities word their errors.
int fileFailure(std::ostream& err, const std::string& name, const std::string& reason)
{
    err << "tavilon-pick: " << shownName(name) << ": " << escapedForTerminal(reason) << "\n";
    return 1;
}

// An error from the core: about a file, in the form above, with the core's
// reason; else the window's sentence, worded as a message here is.
int failure(std::ostream& err, const CoreError& error)
{
    std::string reason = error.reason.empty() ? error.message : error.reason;
    if (error.reason.empty() && reason.size() > 1 && std::islower(static_cast<unsigned char>(reason[1])))
        reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
    if (reason.ends_with('.'))
        reason.pop_back();
    if (!error.subject.empty())
        return fileFailure(err, error.subject, reason);
    message(err, reason);
    return 1;
}

int usageError(std::ostream& err, const std::string& what)
{
    message(err, what);
    err << Synopsis << "Try \"tavilon-pick --help\" for more.\n";
    return 2;
}

// True when `path` names the file that descriptor `fd` is open on (a path
// such as /dev/stdout or /proc/self/fd/1, or any other name of that file).
bool namesOpenFile(const std::string& path, int fd)
{
    struct stat named {};
    struct stat open {};
    return fd >= 0 && ::stat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 && named.st_dev == open.st_dev
        && named.st_ino == open.st_ino;
}

// Where a command's result goes: standard output as it comes, or the
// OUTPUT file, written through the same writer as the window's saves once
// the whole result is known, so that a failed command leaves it untouched.
// An OUTPUT that is already our standard output or standard error is written
// through that stream, as "-o -" is: replacing the file behind it would
// throw away what it held and what comes after us.
class Destination {
public:
    Destination(std::ostream& out, std::ostream& err, const std::optional<std::string>& file,
                const PickCommandHooks& hooks)
        : stream_(&out), file_(file)
    {
        if (!file_)
            return;
        if (namesOpenFile(*file_, hooks.standardOutput)) {
            file_.reset();
        } else if (namesOpenFile(*file_, hooks.standardError)) {
            file_.reset();
            stream_ = &err;
            streamName_ = StandardErrorName;
        }
    }

    // Checks OUTPUT before any work: a folder, a device or a missing folder
    // is refused at once.
    Outcome<void> check() const
    {
        if (!file_)
            return {};
        auto target = resolveSaveTarget(*file_);
        if (!target)
            return target.error();
        return {};
    }

    bool write(std::string_view bytes)
    {
        if (file_) {
            text_.append(bytes);
            return true;
        }
        stream_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(*stream_);
    }

    std::string name() const { return file_ ? *file_ : streamName_; }

    // Everything written must reach its place: the stream is flushed and
    // checked, the file written whole.
    int finish(std::ostream& err)
    {
        if (file_) {
            auto written = writeFileKeepingIdentity(*file_, text_);
            if (!written)
                return failure(err, written.error());
            return 0;
        }
        stream_->flush();
        if (!*stream_)
            return fileFailure(err, streamName_, "cannot write");
        return 0;
    }

private:
    std::ostream* stream_;
    const char* streamName_ = StandardOutputName;
    std::optional<std::string> file_;
    std::string text_;
};

std::string listName(const CommandLine& line)
{
    return line.file ? *line.file : StandardInputName;
}

Outcome<TextSource> openList(const CommandLine& line, const PickCommandHooks& hooks)
{
    if (line.file && !namesPipe(*line.file))
        return TextSource::open(*line.file);
    auto input = line.file ? openNamedPipe(*line.file) : openStandardInput(hooks.standardInput, StandardInputName);
    if (!input)
        return input.error();
    return TextSource::open(std::move(input.value()));
}

// The random source: FILE, or standard input for "-" where the list is a
// FILE. Standard input cannot give both the list and the randomness.
Outcome<RandomBytes> openRandomSource(const CommandLine& line, const PickCommandHooks& hooks)
{
    const std::string& path = *line.randomSource;
    const bool standardInput = path == "-";
    if (!line.file && (standardInput || namesOpenFile(path, hooks.standardInput)))
        return CoreError{ErrorCode::OpenFailed, "Standard input cannot give the randomness while the list is read from it.",
                         standardInput ? StandardInputName : path,
                         "cannot be the random source: the list is read from standard input"};
    if (standardInput)
        return RandomBytes::duplicate(hooks.standardInput, StandardInputName);
    return RandomBytes::open(path);
}

int countCommand(const CommandLine& line, Destination& destination, std::ostream& err,
                 const PickCommandHooks& hooks)
{
    auto opened = openList(line, hooks);
    if (!opened)
        return failure(err, opened.error());
    auto count = line.zeroTerminated ? countZeroTerminated(opened.value()) : countWords(opened.value());
    if (!count)
        return failure(err, count.error());
    // A list without words gives an empty line.
    const std::string text = count.value() == 0 ? std::string() : std::to_string(count.value());
    if (!destination.write(text + "\n"))
        return fileFailure(err, destination.name(), "cannot write");
    return destination.finish(err);
}

int pickCommand(const CommandLine& line, Destination& destination, std::ostream& err,
                const PickCommandHooks& hooks)
{
    // The random source opens first, so that a wrong one is named before
    // standard input is read.
    std::optional<RandomBytes> random;
    if (line.randomSource) {
        auto source = openRandomSource(line, hooks);
        if (!source)
            return failure(err, source.error());
        random.emplace(std::move(source.value()));
    }
    // The list stays open from the count to the picks, so both read the same
    // file; the count notes where fields begin, so that the picks need not
    // read the whole file again.
    auto opened = openList(line, hooks);
    if (!opened)
        return failure(err, opened.error());
    TextSource& list = opened.value();
    WordIndex index;
    auto count = line.zeroTerminated ? countZeroTerminated(list) : countWords(list, {}, &index);
    if (!count)
        return failure(err, count.error());
    if (hooks.afterCount)
        hooks.afterCount();

    // Every draw is made before a word goes out: a random source that runs
    // out leaves nothing written. The picks then go out in runs of text as
    // they come, so memory does not grow with the words' length when they
    // go to standard output.
    const std::uint64_t words = count.value();
    const auto sink = [&](std::string_view text) { return destination.write(text); };
    RandomSource sequence;
    Outcome<std::uint64_t> written = std::uint64_t{0};
    if (!random && !line.unique && !line.zeroTerminated) {
        written = pickText(list, words, line.picks, sequence, &index, "\n", sink);
    } else {
        auto targets = random ? (line.unique ? drawDistinct(words, line.picks, *random)
                                             : drawWithRepeats(words, line.picks, *random))
                              : (line.unique ? drawDistinct(words, line.picks, sequence)
                                             : drawWithRepeats(words, line.picks, sequence));
        if (!targets)
            written = targets.error();
        else if (line.zeroTerminated)
            written = pickTargets(list, targets.value(), nullptr, std::string_view("\0", 1), sink,
                                  ListFormat::ZeroTerminated);
        else
            written = pickTargets(list, targets.value(), &index, "\n", sink);
    }
    if (!written) {
        if (written.error().code == ErrorCode::WriteFailed)
            return fileFailure(err, destination.name(), "cannot write");
        CoreError error = written.error();
        if (error.code == ErrorCode::NoWords)
            error.reason = "has no words to pick from";
        if (error.code == ErrorCode::NoWords || error.code == ErrorCode::TooFewWords)
            error.subject = listName(line);
        return failure(err, error);
    }
    return destination.finish(err);
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PickCommandHooks& hooks)
{
    const Outcome<CommandLine> parsed = parseCommandLine(args);
    if (!parsed)
        return usageError(err, parsed.error().message);
    const CommandLine& line = parsed.value();

    Destination standardOutput(out, err, std::nullopt, hooks);
    switch (line.action) {
    case CommandLine::Action::Help:
        standardOutput.write(Synopsis);
        standardOutput.write("\n");
        standardOutput.write(Details);
        return standardOutput.finish(err);
    case CommandLine::Action::Version:
        standardOutput.write("tavilon-pick " TAVILON_VERSION "\n");
        return standardOutput.finish(err);
    case CommandLine::Action::Count:
    case CommandLine::Action::Pick:
        break;
    }

    Destination destination(out, err, line.output, hooks);
    if (auto checked = destination.check(); !checked)
        return failure(err, checked.error());
    if (line.action == CommandLine::Action::Count)
        return countCommand(line, destination, err, hooks);
    return pickCommand(line, destination, err, hooks);
}

} // namespace

int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const PickCommandHooks& hooks)
{
    try {
        return run(args, out, err, hooks);
    } catch (const std::bad_alloc&) {
        message(err, "there is not enough memory for this; ask for fewer words");
        return 1;
    }
}

} // namespace tavilon
