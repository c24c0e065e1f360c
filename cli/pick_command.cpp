#include "pick_command.h"

#include "number_text.h"
#include "random_source.h"
#include "selection.h"
#include "text_source.h"
#include "word_list.h"

#include <new>
#include <ostream>
#include <string>

namespace tavilon {

namespace {

constexpr const char* Usage =
    "Usage: tavilon-pick count FILE\n"
    "       tavilon-pick pick [-n NUMBER] FILE\n"
    "\n"
    "count  prints the number of words in the word list FILE, as the main\n"
    "       window shows it (nothing at all for a list without words).\n"
    "pick   prints, one per line, the words that the first press of \"Select\"\n"
    "       picks in a freshly started program with NUMBER in the number-of-\n"
    "       picks box (default 1; empty and 0 also give one pick).\n"
    "\n"
    "A word is one line of the file with surrounding spaces and tabs removed;\n"
    "blank lines are skipped. The picks repeat from run to run by design: they\n"
    "are not for passwords or anything secret.\n"
    "\n"
    "Exit status: 0 done, 1 the file could not be read or used, or the output\n"
    "could not be written (message on standard error), 2 wrong usage.\n";

int usageError(std::ostream& err, const std::string& what)
{
    err << "tavilon-pick: " << what << "\n" << Usage;
    return 2;
}

int failure(std::ostream& err, const std::string& message)
{
    err << "tavilon-pick: " << message << "\n";
    return 1;
}

// Everything written must reach its place: the stream is flushed and checked.
int finish(std::ostream& out, std::ostream& err)
{
    out.flush();
    if (!out)
        return failure(err, "cannot write to standard output");
    return 0;
}

int countCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2)
        return usageError(err, "count takes exactly one FILE");
    auto count = countFields(args[1]);
    if (!count)
        return failure(err, count.error().message);
    out << count.value() << "\n";
    return finish(out, err);
}

int pickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const PickCommandHooks& hooks)
{
    std::string picks = "1";
    std::string path;
    bool havePath = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "-n" && i + 1 < args.size() && !havePath) {
            picks = args[++i];
        } else if (args[i] == "-n") {
            return usageError(err, "-n needs a number");
        } else if (!havePath) {
            path = args[i];
            havePath = true;
        } else {
            return usageError(err, "pick takes one FILE");
        }
    }
    if (!havePath)
        return usageError(err, "pick needs a FILE");
    if (!picks.empty() && !isNumeric(picks))
        return usageError(err, "\"" + picks + "\" is not a number of picks");

    // The list stays open from the count to the picks, so both read the same
    // file; the count notes where fields begin, so that the picks need not
    // read the whole file again.
    auto opened = TextSource::open(path);
    if (!opened)
        return failure(err, opened.error().message);
    TextSource& list = opened.value();
    FieldIndex index;
    auto count = countFields(list, {}, &index);
    if (!count)
        return failure(err, count.error().message);
    if (hooks.afterCount)
        hooks.afterCount();

    // Each word goes out as it comes, so memory does not grow with the
    // words' length.
    RandomSource random;
    auto written = pickWords(list, count.value(), picks, random, &index, [&](std::string_view word) {
        out.write(word.data(), static_cast<std::streamsize>(word.size()));
        out.put('\n');
        return static_cast<bool>(out);
    });
    if (!written) {
        if (written.error().code == ErrorCode::WriteFailed)
            return failure(err, "cannot write the picks to standard output");
        return failure(err, written.error().message);
    }
    return finish(out, err);
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const PickCommandHooks& hooks)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << Usage;
        return finish(out, err);
    }
    if (args.empty())
        return usageError(err, "a command is missing");
    if (args[0] == "count")
        return countCommand(args, out, err);
    if (args[0] == "pick")
        return pickCommand(args, out, err, hooks);
    return usageError(err, "unknown command \"" + args[0] + "\"");
}

} // namespace

int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const PickCommandHooks& hooks)
{
    try {
        return run(args, out, err, hooks);
    } catch (const std::bad_alloc&) {
        return failure(err, "there is not enough memory for this; ask for fewer words");
    }
}

} // namespace tavilon
