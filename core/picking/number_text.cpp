#include "number_text.h"

#include "core/list/blanks.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tavilon {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<double> numericValue(std::string_view text)
{
    const std::string_view s = trimBlanks(text);

    bool negative = false;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    int digits = 0;
    int dots = 0;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            ++digits;
        else if (s[i] == '.' && dots == 0)
            ++dots;
        else
            break;
    }
    if (digits == 0)
        return std::nullopt;
    const std::size_t mantissaEnd = i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        int expDigits = 0;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;

    // from_chars takes no leading '+'; the grammar is already checked.
    std::string_view body = s.substr(mantissaStart);
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent is zero; too large is not a finite number.
        const std::string_view mantissa = s.substr(mantissaStart, mantissaEnd - mantissaStart);
        const bool fractionOnly = mantissa.find_first_not_of("0.") == std::string_view::npos
            || mantissa.substr(0, mantissa.find('.')).find_first_not_of('0') == std::string_view::npos;
        if (!negativeExponent && !fractionOnly)
            return std::nullopt;
        value = 0.0;
    } else if (ec != std::errc() || ptr != body.data() + body.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace tavilon
