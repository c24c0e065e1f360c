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

std::vector<Kernels> detectKernels()
{
    // Fastest first.
    std::vector<Kernels> list;
#if defined(TAVILON_HAVE_X86_KERNELS)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("popcnt"))
        list.push_back(avx512Kernels());
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt"))
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
