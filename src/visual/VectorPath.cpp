#include "visual/VectorPath.h"

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
