#include "way_trial.h"

namespace tavilon {

WayTrial::WayTrial(Mode mode)
    : decision_(mode == Mode::Copied ? Copied : mode == Mode::Mapped ? Mapped : Undecided)
{
}

bool WayTrial::mapsPart(std::uint64_t part) const
{
    const int decision = decision_.load(std::memory_order_acquire);
    return decision == Undecided ? part % 2 == 1 : decision == Mapped;
}

void WayTrial::record(bool mapped, double secondsPerByte)
{
    std::lock_guard lock(mutex_);
    if (decision_.load(std::memory_order_relaxed) != Undecided)
        return;
    const int way = mapped ? Mapped : Copied;
    if (tries_[way] == 0 || secondsPerByte < fastest_[way])
        fastest_[way] = secondsPerByte;
    ++tries_[way];
    if (tries_[Copied] >= TriesPerWay && tries_[Mapped] >= TriesPerWay)
        decision_.store(fastest_[Mapped] < fastest_[Copied] ? Mapped : Copied, std::memory_order_release);
}

void WayTrial::mappingFailed()
{
    std::lock_guard lock(mutex_);
    decision_.store(Copied, std::memory_order_release);
}

} // namespace tavilon
