#include "picks_number.h"

#include "number_text.h"
#include "core/errors/core_errors.h"

#include <cmath>

namespace tavilon {

PicksNumber picksNumber(std::string_view text)
{
    std::string shown = text.empty() || text == "0" ? std::string("1") : std::string(text);
    const auto value = numericValue(shown);
    if (!value) {
        CoreError refusal = sentenceError(
            ErrorCode::InvalidCount, TAVILON_SENTENCE("CoreError", "The number of words to pick, \"%1\", is not a number."),
            {shown});
        return {std::move(shown), std::move(refusal)};
    }
    std::uint64_t picks = 0;
    if (*value >= 1.8e19)
        picks = UINT64_MAX;
    else if (*value >= 1)
        picks = static_cast<std::uint64_t>(std::floor(*value));
    return {std::move(shown), picks};
}

} // namespace tavilon
