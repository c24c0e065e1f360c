#include "word_list.h"

#include "core_errors.h"
#include "scan_kernels.h"
#include "word_list_reader.h"

#include <vector>

namespace tavilon {

namespace {

constexpr std::size_t BlockSize = 64u << 10; // reads of 64 KiB: measured fastest here

// The line after the block's last line end starts a field to come.
void noteLastLineStart(FieldIndex& index, const std::vector<char>& block, std::size_t size,
                       std::uint64_t blockOffset, std::uint64_t fieldsSoFar, std::uint64_t blockNumber)
{
    for (std::size_t i = size; i > 0; --i) {
        if (block[i - 1] == '\n' || block[i - 1] == '\r') {
            index.offer({blockOffset + i, fieldsSoFar}, blockNumber);
            return;
        }
    }
}

} // namespace

Outcome<std::string> countFields(TextSource& source, const ProgressFn& progress, FieldIndex* index)
{
    if (index) {
        index->clear();
        if (source.isUtf16())
            index = nullptr; // its text offsets are not file offsets
    }

    const scan::Kernels& kernels = scan::bestKernels();
    std::vector<char> buffer(BlockSize);
    scan::CountState state;
    std::uint64_t textOffset = 0;
    for (std::uint64_t block = 0;; ++block) {
        auto n = source.read(buffer.data(), buffer.size());
        if (!n)
            return n.error();
        if (n.value() == 0)
            break;
        kernels.count(reinterpret_cast<const unsigned char*>(buffer.data()), n.value(), state);
        if (state.sawNul)
            return notWordListError(source.path());
        if (index)
            noteLastLineStart(*index, buffer, n.value(), textOffset, state.fields, block);
        textOffset += n.value();
        if (progress && !progress(source.bytesConsumed(), source.fileSize()))
            return cancelledError();
    }
    if (state.carry == 0) // a last line with content and no line end
        ++state.fields;
    if (state.fields == 0)
        return std::string();
    return std::to_string(state.fields);
}

Outcome<std::string> countFields(const std::string& path, const ProgressFn& progress, FieldIndex* index,
                                 FileIdentity* identity)
{
    auto opened = TextSource::open(path);
    if (!opened)
        return opened.error();
    auto counted = countFields(opened.value(), progress, index);
    if (counted && identity)
        *identity = opened.value().identity();
    return counted;
}

Outcome<std::string> fetchField(const std::string& path, std::uint64_t target)
{
    auto reader = WordListReader::open(path);
    if (!reader)
        return reader.error();
    std::string field;
    std::uint64_t counter = 0;
    while (counter != target) {
        auto more = reader.value().next(field);
        if (!more)
            return more.error();
        if (!more.value())
            return listChangedError(path);
        ++counter;
    }
    return field;
}

} // namespace tavilon
