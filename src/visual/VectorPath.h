// Which instruction set the draws' wide paths use. Each draw has a plain per-pixel path, an
// SSE2 path and, on 64-bit x86 outside Windows, an AVX2 path; all give the same pixels.
#pragma once

namespace qx {

enum class VectorPath { scalar = 0, sse2 = 1, avx2 = 2 };

// The widest path that this build and processor offer, within the limit below.
VectorPath vectorPath();
// Keeps the draws at or below `widest` from now on; tests use it to run every path.
void limitVectorPath(VectorPath widest);

// The AVX2 code is built only where GCC and Clang keep 32-byte vectors on the stack aligned:
// 64-bit Windows does not promise them the alignment.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(_WIN32)
#define QX_AVX2_PATHS 1
#endif

} // namespace qx
