// Which kernel level conversions run: the widest the processor has, unless a test or a
// benchmark asks for the plain one.
#include "convert/plane_kernels.h"

namespace vx::core {

namespace {

KernelLevel detect() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
        __builtin_cpu_supports("avx512vbmi"))
        return KernelLevel::Wide;
    return KernelLevel::Baseline;
}

KernelLevel g_chosen = detectedKernelLevel();

} // namespace

KernelLevel detectedKernelLevel() {
    static const KernelLevel level = detect();
    return level;
}

KernelLevel activeKernelLevel() { return g_chosen; }

void chooseKernelLevel(KernelLevel level) {
    g_chosen = level == KernelLevel::Wide ? detectedKernelLevel() : KernelLevel::Baseline;
}

} // namespace vx::core
