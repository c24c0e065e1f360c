#include "field_count.h"

#include <charconv>

namespace tavilon {

std::uint64_t fieldCountValue(std::string_view digits)
{
    std::uint64_t count = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), count);
    return count;
}

} // namespace tavilon
