#include "selection.h"

#include "number_text.h"
#include "word_list.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace tavilon {

namespace {

struct Plan {
    std::string picksText;
    std::uint64_t passes = 0;
    double count = 0;
};

Outcome<Plan> plan(const PressInput& input)
{
    Plan p;
    p.picksText = effectivePicksText(input.picksText);
    const auto passes = passCount(p.picksText);
    if (!passes)
        return CoreError{ErrorCode::InvalidCount, "The number of words to pick, \"" + p.picksText + "\", is not a number."};
    if (*passes > MaxPicksPerPress)
        return CoreError{ErrorCode::TooManyPicks, "At most " + std::to_string(MaxPicksPerPress)
                             + " words can be picked at a time; ask for fewer."};
    p.passes = *passes;
    if (p.passes == 0)
        return p;
    if (input.countText.empty())
        return CoreError{ErrorCode::NoWords, "The word list has no words to pick from. Load a list that holds at least one word."};
    const auto count = numericValue(input.countText);
    if (!count || *count < 1 || *count > static_cast<double>(MaxFieldNumber) || *count != std::floor(*count))
        return CoreError{ErrorCode::InvalidCount, "The word count \"" + input.countText + "\" is not a count of words. Load the list again."};
    p.count = *count;
    return p;
}

} // namespace

std::string effectivePicksText(std::string_view picksText)
{
    if (picksText.empty() || picksText == "0")
        return "1";
    return std::string(picksText);
}

std::optional<std::uint64_t> passCount(std::string_view picksText)
{
    const auto value = numericValue(picksText);
    if (!value)
        return std::nullopt;
    if (*value < 1)
        return 0;
    if (*value >= 1.8e19)
        return UINT64_MAX;
    return static_cast<std::uint64_t>(std::floor(*value));
}

std::uint64_t targetFor(double count, float r)
{
    return static_cast<std::uint64_t>(std::floor(count * static_cast<double>(r) + 1.0));
}

Outcome<PressResult> press(const PressInput& input, RandomSource& random, const ProgressFn& progress,
                           std::string_view lineEnd, const FieldIndex* index)
{
    auto planned = plan(input);
    if (!planned)
        return planned.error();
    const Plan& p = planned.value();
    PressResult result;
    result.picksText = p.picksText;
    if (p.passes == 0)
        return result;

    RandomSource draws = random;
    std::vector<std::uint64_t> targets(p.passes);
    for (auto& target : targets)
        target = targetFor(p.count, draws.next());

    auto fields = collectFields(input.path, targets, progress, index);
    if (!fields)
        return fields.error();
    const PickedFields& picked = fields.value();
    result.appendText.resize(picked.totalSize() + lineEnd.size() * picked.size());
    char* out = result.appendText.data();
    for (std::size_t i = 0; i < picked.size(); ++i) {
        const std::string_view field = picked.field(i);
        std::memcpy(out, field.data(), field.size());
        out += field.size();
        std::memcpy(out, lineEnd.data(), lineEnd.size());
        out += lineEnd.size();
    }
    result.picks = p.passes;
    random = draws;
    return result;
}

Outcome<PressResult> pressOnePickAtATime(const PressInput& input, RandomSource& random)
{
    auto planned = plan(input);
    if (!planned)
        return planned.error();
    const Plan& p = planned.value();
    PressResult result;
    result.picksText = p.picksText;
    RandomSource draws = random;
    for (std::uint64_t pass = 1; pass <= p.passes; ++pass) {
        const std::uint64_t target = targetFor(p.count, draws.next());
        auto field = fetchField(input.path, target);
        if (!field)
            return field.error();
        result.appendText += field.value();
        result.appendText += "\r\n";
    }
    result.picks = p.passes;
    random = draws;
    return result;
}

} // namespace tavilon
