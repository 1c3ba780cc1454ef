#include "visual/VectorPath.h"

// Every build of the module, the Windows one included, targets x86 with SSE2: the draws'
// plain and SSE2 paths are always there. Checked here, not in the header: the layout checks
// compile every header for plain 32-bit x86.
#if !defined(__SSE2__)
#error "the draws need SSE2 (-msse2)"
#endif

namespace qx {

namespace {

VectorPath supported() {
#if defined(QX_AVX2_PATHS)
    if (__builtin_cpu_supports("avx2") != 0) {
        return VectorPath::avx2;
    }
#endif
    return VectorPath::sse2;
}

VectorPath limit = VectorPath::avx2;

} // namespace

VectorPath vectorPath() {
    static const VectorPath widest = supported();
    return static_cast<int>(limit) < static_cast<int>(widest) ? limit : widest;
}

void limitVectorPath(VectorPath widest) { limit = widest; }

} // namespace qx
