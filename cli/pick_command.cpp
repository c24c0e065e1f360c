#include "pick_command.h"

#include "number_text.h"
#include "random_source.h"
#include "selection.h"
#include "word_list.h"

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
    "Exit status: 0 done, 1 the file could not be read or used (message on\n"
    "standard error), 2 wrong usage.\n";

int usageError(std::ostream& err, const std::string& what)
{
    err << "tavilon-pick: " << what << "\n" << Usage;
    return 2;
}

} // namespace

int runPickCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << Usage;
        return 0;
    }
    if (args.empty())
        return usageError(err, "a command is missing");

    if (args[0] == "count") {
        if (args.size() != 2)
            return usageError(err, "count takes exactly one FILE");
        auto count = countFields(args[1]);
        if (!count) {
            err << "tavilon-pick: " << count.error().message << "\n";
            return 1;
        }
        out << count.value() << "\n";
        return 0;
    }

    if (args[0] == "pick") {
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

        // The count notes where fields begin, so that the picks need not
        // read the whole file again.
        FieldIndex index;
        auto count = countFields(path, {}, &index);
        if (!count) {
            err << "tavilon-pick: " << count.error().message << "\n";
            return 1;
        }
        RandomSource random;
        auto result = press({picks, count.value(), path}, random, {}, "\n", &index);
        if (!result) {
            err << "tavilon-pick: " << result.error().message << "\n";
            return 1;
        }
        out << result.value().appendText;
        out.flush();
        if (!out) {
            err << "tavilon-pick: cannot write the picks to standard output\n";
            return 1;
        }
        return 0;
    }
    return usageError(err, "unknown command \"" + args[0] + "\"");
}

} // namespace tavilon
