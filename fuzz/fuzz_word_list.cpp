// libFuzzer target for the word-list reader. For any bytes: counting and
// fetching never crash or read out of bounds, every kernel counts alike,
// and every target from 1 to the count reaches a word, the same one that a
// plain split of the decoded text gives, with or without the count's marks.
// The count in parts gives the same count wherever the parts are cut, and
// its marks are line starts with the right number of words before them.
// Read with words ending at NUL, the list gives the words of a plain split,
// their bytes as they are.

#include "core/list/blanks.h"
#include "core/list/scan_kernels.h"
#include "core/list/shared_count.h"
#include "core/list/text_decode.h"
#include "core/list/text_source.h"
#include "core/list/word_list.h"
#include "core/list/zero_terminated.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        char name[] = "/tmp/tavilon-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// The words closed before each offset of the text: a line end closes one
// when content came since the last one.
std::vector<std::uint64_t> wordsBefore(const std::vector<std::uint8_t>& text)
{
    std::vector<std::uint64_t> before(text.size() + 1, 0);
    bool content = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool end = text[i] == '\n' || text[i] == '\r';
        before[i + 1] = before[i] + (end && content ? 1 : 0);
        content = !end && (content || (text[i] != ' ' && text[i] != '\t'));
    }
    return before;
}

// The words of the list read the plain way: its text, decoded, split at
// every line end, each line trimmed.
std::vector<std::string> plainWords(const std::string& path)
{
    auto source = tavilon::TextSource::open(path);
    check(source.ok());
    std::string text;
    char buffer[4096];
    for (;;) {
        auto n = source.value().read(buffer, sizeof buffer);
        check(n.ok());
        if (n.value() == 0)
            break;
        text.append(buffer, n.value());
    }
    std::vector<std::string> words;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        if (const auto word = tavilon::trimBlanks(std::string_view(text).substr(at, end - at)); !word.empty())
            words.push_back(tavilon::wordToUtf8(word));
        at = end + 1;
    }
    return words;
}

// Cuts the text into parts of every size (a sample of them in long inputs),
// shared by three threads in reads of a few bytes, with each kernel this
// processor runs.
void checkSplits(const std::string& path, std::uint64_t count)
{
    auto source = tavilon::TextSource::open(path);
    check(source.ok());
    if (source.value().isUtf16())
        return;
    const std::uint64_t start = source.value().textStart();
    const std::uint64_t textSize = source.value().fileSize() - start;
    const std::uint64_t step = textSize < 300 ? 1 : textSize / 97;
    std::vector<std::uint8_t> text(textSize);
    {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        check(file != nullptr && std::fseek(file, static_cast<long>(start), SEEK_SET) == 0);
        check(std::fread(text.data(), 1, text.size(), file) == text.size());
        std::fclose(file);
    }
    const std::vector<std::uint64_t> before = wordsBefore(text);
    const auto checkWay = [&](const tavilon::scan::Kernels& kernels, std::uint64_t partSize, std::size_t pieceSize) {
        tavilon::CountParts way;
        way.threads = 3;
        way.partSize = partSize;
        way.pieceSize = pieceSize;
        way.count = kernels.count;
        tavilon::WordIndex index(64);
        auto parts = tavilon::countShared(source.value(), way, {}, &index);
        check(parts.ok() && parts.value() == count);
        for (std::uint64_t target = 1; target <= count; ++target) {
            const tavilon::WordIndex::Mark* mark = index.before(target);
            if (!mark)
                continue;
            check(mark->offset <= textSize);
            check(mark->offset == 0 || text[mark->offset - 1] == '\n' || text[mark->offset - 1] == '\r');
            check(before[mark->offset] == mark->wordsBefore);
        }
    };
    // The kernel counts use takes every cut; the others, which the raw
    // comparison below checks too, a tenth of them.
    for (const tavilon::scan::Kernels& kernels : tavilon::scan::shippedKernels()) {
        const std::uint64_t stride = kernels.count == tavilon::scan::bestKernels().count ? step : 10 * step;
        for (std::uint64_t cut = 0; kernels.runsHere && cut <= textSize; cut += stride)
            checkWay(kernels, cut + 1, 16 + cut % 50);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = scratchPath();
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        check(file != nullptr);
        check(std::fwrite(data, 1, size, file) == size);
        std::fclose(file);
    }

    // Every kernel this processor runs agrees on the raw bytes.
    const tavilon::scan::Kernels& portable = tavilon::scan::shippedKernels().back();
    for (const tavilon::scan::Kernels& kernels : tavilon::scan::shippedKernels()) {
        tavilon::scan::CountState a;
        tavilon::scan::CountState b;
        portable.count(data, size, a);
        if (kernels.runsHere)
            kernels.count(data, size, b);
        check(!kernels.runsHere || (a.words == b.words && a.carry == b.carry && a.sawNul == b.sawNul));
    }

    // Words ending at NUL against a plain split (for bytes read as they are).
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with("\xEF\xBB\xBF") && !bytes.starts_with("\xFF\xFE") && !bytes.starts_with("\xFE\xFF")) {
        std::vector<std::string> words;
        for (std::size_t at = 0; at <= size;) {
            const std::size_t end = std::min(bytes.find('\0', at), size);
            if (const auto word = tavilon::trimBlanks(bytes.substr(at, end - at)); !word.empty())
                words.push_back(std::string(word));
            at = end + 1;
        }
        auto list = tavilon::TextSource::open(path);
        check(list.ok() && tavilon::countZeroTerminated(list.value()).value() == words.size());
        std::vector<std::uint64_t> all;
        for (std::uint64_t t = words.size(); t >= 1; --t)
            all.push_back(t);
        auto picked = tavilon::collectZeroTerminated(list.value(), all);
        check(picked.ok());
        for (std::size_t i = 0; i < all.size(); ++i)
            check(picked.value().word(i) == words[all[i] - 1]);
        check(!tavilon::collectZeroTerminated(list.value(), {words.size() + 1}).ok());
    }

    tavilon::WordIndex index(2);
    auto counted = tavilon::countWords(path, {}, &index);
    if (!counted) {
        check(counted.error().code == tavilon::ErrorCode::NotWordList);
        return 0;
    }
    const std::uint64_t count = counted.value();

    checkSplits(path, count);

    std::vector<std::uint64_t> targets;
    for (std::uint64_t t = 1; t <= count && t <= 300; ++t)
        targets.push_back(t);
    if (count > 0) {
        targets.push_back(count);
        targets.push_back((count + 1) / 2);
    }
    auto picked = tavilon::collectWords(path, targets);
    check(picked.ok());
    auto skipping = tavilon::collectWords(path, targets, {}, &index);
    check(skipping.ok());
    const std::vector<std::string> words = plainWords(path);
    check(words.size() == count);
    for (std::size_t i = 0; i < targets.size(); ++i) {
        check(std::string(picked.value().word(i)) == words[targets[i] - 1]);
        check(std::string(skipping.value().word(i)) == words[targets[i] - 1]);
    }
    auto beyondOnce = tavilon::collectWords(path, {count + 1});
    check(!beyondOnce.ok() && beyondOnce.error().code == tavilon::ErrorCode::ListChanged);
    return 0;
}
