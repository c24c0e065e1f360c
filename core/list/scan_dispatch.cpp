#include "scan_kernels.h"

#include <vector>

namespace tavilon::scan {

Kernels portableKernels();
#if defined(__x86_64__) || defined(_M_X64)
Kernels sse2Kernels();
#endif
#if defined(TAVILON_HAVE_X86_KERNELS)
Kernels avx2Kernels();
Kernels avx512Kernels();
#endif

namespace {

#if defined(TAVILON_HAVE_X86_KERNELS)
// The one compiler-specific piece: asking the processor what it runs.
enum class Feature { Avx512bw, Avx2, Popcnt };

bool processorRuns(Feature feature)
{
    __builtin_cpu_init();
    switch (feature) {
    case Feature::Avx512bw: return __builtin_cpu_supports("avx512bw");
    case Feature::Avx2: return __builtin_cpu_supports("avx2");
    case Feature::Popcnt: return __builtin_cpu_supports("popcnt");
    }
    return false;
}
#endif

std::vector<Kernels> detectKernels()
{
    // Fastest first.
    std::vector<Kernels> list;
#if defined(TAVILON_HAVE_X86_KERNELS)
    if (processorRuns(Feature::Avx512bw) && processorRuns(Feature::Popcnt))
        list.push_back(avx512Kernels());
    if (processorRuns(Feature::Avx2) && processorRuns(Feature::Popcnt))
        list.push_back(avx2Kernels());
#endif
#if defined(__x86_64__) || defined(_M_X64)
    list.push_back(sse2Kernels());
#endif
    list.push_back(portableKernels());
    return list;
}

const std::vector<Kernels>& kernels()
{
    static const std::vector<Kernels> list = detectKernels();
    return list;
}

} // namespace

const Kernels& bestKernels() { return kernels().front(); }
int availableKernelCount() { return static_cast<int>(kernels().size()); }
const Kernels& availableKernels(int index) { return kernels().at(static_cast<std::size_t>(index)); }

} // namespace tavilon::scan
