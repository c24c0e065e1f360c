#pragma once

#include <cstdint>
#include <functional>

namespace tavilon {

// Called now and then during long work with the work done and the total
// (bytes of the file). Returning false asks the work to stop; stopped work
// changes nothing and reports ErrorCode::Cancelled.
using ProgressFn = std::function<bool(std::uint64_t done, std::uint64_t total)>;

} // namespace tavilon
