#pragma once

#include <cstdint>
#include <string_view>

namespace tavilon {

// The number of fields that countFields gives as decimal digits: 0 for a
// list without any ("").
std::uint64_t fieldCountValue(std::string_view digits);

} // namespace tavilon
