#pragma once

#include <optional>
#include <string_view>

namespace tavilon {

// The one rule for numbers typed in the windows: optional surrounding
// blanks, an optional sign, decimal digits with at most one '.', an optional
// exponent, at least one digit before the exponent, and a finite value.
// Independent of the locale. Every text this accepts converts.
std::optional<double> numericValue(std::string_view text);

inline bool isNumeric(std::string_view text) { return numericValue(text).has_value(); }

} // namespace tavilon
