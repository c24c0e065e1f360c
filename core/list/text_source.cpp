#include "text_source.h"

#include "text_decode.h"
#include "core/errors/core_errors.h"

#include <algorithm>
#include <cstring>

namespace tavilon {

Outcome<TextSource> TextSource::open(const std::string& path)
{
    auto file = InputFile::open(path);
    if (!file)
        return file.error();
    return open(std::move(file.value()));
}

Outcome<TextSource> TextSource::open(InputFile file)
{
    TextSource source(std::move(file));

    char head[3];
    std::size_t got = 0;
    while (got < sizeof head) {
        auto n = source.file_.read(head + got, sizeof head - got);
        if (!n)
            return n.error();
        if (n.value() == 0)
            break;
        got += n.value();
    }
    source.consumed_ = got;
    const auto* u = reinterpret_cast<const unsigned char*>(head);
    std::size_t skip = 0;
    if (got >= 3 && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF) {
        skip = 3;
    } else if (got >= 2 && u[0] == 0xFF && u[1] == 0xFE) {
        source.encoding_ = Encoding::Utf16LE;
        skip = 2;
    } else if (got >= 2 && u[0] == 0xFE && u[1] == 0xFF) {
        source.encoding_ = Encoding::Utf16BE;
        skip = 2;
    }
    source.pending_.assign(head + skip, got - skip);
    source.markLength_ = skip;
    return source;
}

TextSource::TextSource(InputFile file) : file_(std::move(file)) {}

bool TextSource::changedSinceOpened() const
{
    auto now = file_.currentIdentity();
    return !now || now.value() != file_.identity();
}

Outcome<void> TextSource::seek(std::uint64_t textOffset)
{
    if (encoding_ != Encoding::Bytes)
        return sentenceError(ErrorCode::ReadFailed,
                             TAVILON_SENTENCE("CoreError", "A UTF-16 list is read from its start only."), {});
    auto moved = file_.seek(markLength_ + textOffset);
    if (!moved)
        return moved.error();
    pending_.clear();
    eof_ = false;
    consumed_ = markLength_ + textOffset;
    return {};
}

Outcome<void> TextSource::rewind()
{
    auto moved = file_.seek(markLength_);
    if (!moved)
        return moved.error();
    pending_.clear();
    highSurrogate_ = 0;
    eof_ = false;
    consumed_ = markLength_;
    return {};
}

Outcome<std::size_t> TextSource::read(char* dest, std::size_t capacity)
{
    if (encoding_ != Encoding::Bytes)
        return readUtf16(dest, capacity);
    std::size_t filled = 0;
    if (!pending_.empty()) {
        filled = std::min(capacity, pending_.size());
        std::memcpy(dest, pending_.data(), filled);
        pending_.erase(0, filled);
        if (filled == capacity)
            return filled;
    }
    if (eof_)
        return filled;
    auto n = file_.read(dest + filled, capacity - filled);
    if (!n)
        return n.error();
    if (n.value() == 0)
        eof_ = true;
    consumed_ += n.value();
    return filled + n.value();
}

Outcome<std::size_t> TextSource::readUtf16(char* dest, std::size_t capacity)
{
    // Two input bytes give at most three output bytes (a surrogate pair,
    // four bytes, gives four); a few bytes are kept for flushed replacements.
    const std::size_t rawWanted = std::max<std::size_t>(2, ((capacity - 8) * 2 / 3) & ~std::size_t{1});
    std::string out;
    out.reserve(capacity);
    while (out.empty()) {
        raw_.assign(pending_.begin(), pending_.end());
        pending_.clear();
        if (!eof_) {
            const std::size_t have = raw_.size();
            raw_.resize(std::max(rawWanted, have + 2));
            auto n = file_.read(raw_.data() + have, raw_.size() - have);
            if (!n)
                return n.error();
            if (n.value() == 0)
                eof_ = true;
            consumed_ += n.value();
            raw_.resize(have + n.value());
        }
        std::size_t usable = raw_.size() & ~std::size_t{1};
        for (std::size_t i = 0; i < usable; i += 2) {
            const auto b0 = static_cast<unsigned char>(raw_[i]);
            const auto b1 = static_cast<unsigned char>(raw_[i + 1]);
            const auto unit = static_cast<char16_t>(encoding_ == Encoding::Utf16LE ? (b1 << 8) | b0 : (b0 << 8) | b1);
            if (highSurrogate_ != 0) {
                if (unit >= 0xDC00 && unit <= 0xDFFF) {
                    const char32_t cp = 0x10000 + ((char32_t(highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00);
                    appendUtf8(out, cp);
                    highSurrogate_ = 0;
                    continue;
                }
                appendUtf8(out, 0xFFFD);
                highSurrogate_ = 0;
            }
            if (unit >= 0xD800 && unit <= 0xDBFF)
                highSurrogate_ = unit;
            else if (unit >= 0xDC00 && unit <= 0xDFFF)
                appendUtf8(out, 0xFFFD);
            else
                appendUtf8(out, unit);
        }
        if (usable < raw_.size())
            pending_.assign(raw_.data() + usable, raw_.size() - usable);
        if (eof_) {
            if (highSurrogate_ != 0 || !pending_.empty())
                appendUtf8(out, 0xFFFD);
            highSurrogate_ = 0;
            pending_.clear();
            break;
        }
    }
    std::memcpy(dest, out.data(), out.size());
    return out.size();
}

} // namespace tavilon
