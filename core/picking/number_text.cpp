#include "number_text.h"

#include "core/list/blanks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace tavilon {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Where the parts of a number's text lie, once the text has the number's form.
struct NumberParts {
    bool negative = false;
    std::string_view mantissa; // digits with at most one '.'
    bool negativeExponent = false;
    std::string_view exponentDigits;
    std::string_view unsignedText; // the mantissa and the exponent: what from_chars reads
};

// Steps past a '+' or '-' at `i`, if there is one; true when it was '-'.
bool skipSign(std::string_view s, std::size_t& i)
{
    if (i >= s.size() || (s[i] != '+' && s[i] != '-'))
        return false;
    return s[i++] == '-';
}

// Steps past digits with at most one '.' from `i`; how many digits there were.
int skipMantissa(std::string_view s, std::size_t& i)
{
    int digits = 0;
    bool dot = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i]))
            ++digits;
        else if (s[i] == '.' && !dot)
            dot = true;
        else
            break;
    }
    return digits;
}

// Steps past an exponent at `i` ("e5", "E-07"), if there is one, noting its
// sign in `negative` and its digits in `digits`; false when it has none.
bool skipExponent(std::string_view s, std::size_t& i, bool& negative, std::string_view& digits)
{
    if (i >= s.size() || (s[i] != 'e' && s[i] != 'E'))
        return true;
    ++i;
    negative = skipSign(s, i);
    const std::size_t digitsStart = i;
    while (i < s.size() && isDigit(s[i]))
        ++i;
    digits = s.substr(digitsStart, i - digitsStart);
    return i > digitsStart;
}

// The parts of `s`, or none when it does not have the number's form.
std::optional<NumberParts> numberParts(std::string_view s)
{
    NumberParts parts;
    std::size_t i = 0;
    parts.negative = skipSign(s, i);
    const std::size_t mantissaStart = i;
    if (skipMantissa(s, i) == 0)
        return std::nullopt;
    parts.mantissa = s.substr(mantissaStart, i - mantissaStart);
    if (!skipExponent(s, i, parts.negativeExponent, parts.exponentDigits) || i != s.size())
        return std::nullopt;
    parts.unsignedText = s.substr(mantissaStart);
    return parts;
}

// The exponent's value, held at +-1e9 (far past any double's range).
long long exponentValue(const NumberParts& parts)
{
    constexpr long long Held = 1000000000;
    long long value = 0;
    for (const char digit : parts.exponentDigits)
        value = std::min(Held, value * 10 + (digit - '0'));
    return parts.negativeExponent ? -value : value;
}

// For a value too small or too large for a double: true when it counts as
// too small, which is zero. The value lies below 1 when its first non-zero
// digit, moved by the exponent, stands after the '.': "0.5e400" and a 1
// with 500 zeros and "e-10" are large, "1e-400" and "0.0001e-399" small.
bool tooSmall(const NumberParts& parts)
{
    const std::string_view mantissa = parts.mantissa;
    const std::size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos)
        return true; // zero
    const std::size_t dot = std::min(mantissa.find('.'), mantissa.size());
    // Digits before the '.' from the first non-zero one, or minus the zeros
    // after the '.' before it.
    const auto place = first < dot ? static_cast<long long>(dot - first)
                                   : -static_cast<long long>(first - dot - 1);
    return place + exponentValue(parts) <= 0;
}

} // namespace

std::optional<double> numericValue(std::string_view text)
{
    const std::optional<NumberParts> parts = numberParts(trimBlanks(text));
    if (!parts)
        return std::nullopt;
    // from_chars takes no leading '+': it reads the text after the sign.
    const std::string_view body = parts->unsignedText;
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(body.data(), body.data() + body.size(), value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (!tooSmall(*parts))
            return std::nullopt;
        value = 0.0;
    } else if (ec != std::errc() || ptr != body.data() + body.size()) {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return parts->negative ? -value : value;
}

} // namespace tavilon
