#include "scan_kernels.h"

#include <algorithm>

namespace tavilon::scan {

Kernels portableKernels();
#if defined(TAVILON_HAVE_X86_KERNELS)
Kernels avx512Kernels();
Kernels avx2Kernels();
#endif

namespace {

std::vector<Kernels> detectKernels()
{
    std::vector<Kernels> list;
#if defined(TAVILON_HAVE_X86_KERNELS)
    __builtin_cpu_init();
    Kernels avx512 = avx512Kernels();
    avx512.runsHere = __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("popcnt");
    list.push_back(avx512);
    Kernels avx2 = avx2Kernels();
    avx2.runsHere = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    list.push_back(avx2);
#endif
    list.push_back(portableKernels());
    return list;
}

} // namespace

const std::vector<Kernels>& shippedKernels()
{
    static const std::vector<Kernels> list = detectKernels();
    return list;
}

const Kernels& bestKernels()
{
    static const Kernels& best =
        *std::find_if(shippedKernels().begin(), shippedKernels().end(), [](const Kernels& k) { return k.runsHere; });
    return best;
}

} // namespace tavilon::scan
