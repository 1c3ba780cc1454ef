#include "visual/AlphaBlend.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <emmintrin.h>
#if defined(QX_AVX2_PATHS)
#include <immintrin.h>
#endif

#include "core/Geometry.h"
#include "visual/RowCopy.inl"
#include "visual/VectorPath.h"

namespace qx {

namespace {

// kColour: blend the colour pixel by its alpha; otherwise blend white by the mask.
template <bool kColour>
std::uint16_t blendPixel(const BlendTables& t, unsigned alpha, unsigned sp, unsigned dp) {
    unsigned sr = 31;
    unsigned sg = 31;
    unsigned sb = 31;
    if constexpr (kColour) {
        sr = (sp >> 10) & 31u;
        sg = (sp >> 5) & 31u;
        sb = sp & 31u;
    }
    const unsigned dr = (dp >> 10) & 31u;
    const unsigned dg = (dp >> 5) & 31u;
    const unsigned db = dp & 31u;
    if (t.compact) {
        const BlendTables::AlphaRow& row = t.rows[alpha];
        return static_cast<std::uint16_t>(((row.source[sg] + row.destination[dg]) << 5) |
                                          ((row.source[sr] + row.destination[dr]) << 10) |
                                          (row.source[sb] + row.destination[db]));
    }
    return static_cast<std::uint16_t>(
        (t.srcGreen[sg * 256 + alpha] + t.dstGreen[dg * 256 + alpha]) |
        (t.srcRed[sr * 256 + alpha] + t.dstRed[dr * 256 + alpha]) |
        (t.srcBlue[sb * 256 + alpha] + t.dstBlue[db * 256 + alpha]));
}

// Whether the n bytes (8 or 16) at p all equal `value`.
inline bool allBytesAre(const std::uint8_t* p, std::uint8_t value, int n) {
    const std::uint64_t all = 0x0101010101010101ull * value;
    std::uint64_t word = 0;
    std::memcpy(&word, p, 8);
    if (n == 8) {
        return word == all;
    }
    std::uint64_t second = 0;
    std::memcpy(&second, p + 8, 8);
    return (word ^ all) == 0 && (second ^ all) == 0;
}

// The per-pixel blend, eight alphas read at a time: blocks of 0 are skipped, blocks of 255
// copied where alpha 255 copies.
template <bool kColour> void blendRowsOneByOne(const BlendTables& t, const BlendSpan& span) {
    const std::uint16_t white = blendPixel<false>(t, 255, 0, 0);
    for (std::int32_t row = 0; row < span.height; ++row) {
        std::uint16_t* d = span.screen.row<std::uint16_t>(row);
        const std::uint8_t* a = span.alpha.row<const std::uint8_t>(row);
        const std::uint16_t* s = nullptr;
        if constexpr (kColour) {
            s = span.colour.row<const std::uint16_t>(row);
        }
        std::int32_t i = 0;
        while (i < span.width) {
            const std::int32_t end = std::min(i + 8, span.width);
            if (end - i == 8 && allBytesAre(a + i, 0, 8)) {
                i = end;
                continue;
            }
            if (end - i == 8 && t.fullAlphaCopies && allBytesAre(a + i, 255, 8)) {
                for (; i < end; ++i) {
                    d[i] = kColour ? static_cast<std::uint16_t>(s[i] & 0x7FFFu) : white;
                }
                continue;
            }
            for (; i < end; ++i) {
                if (a[i] != 0) {
                    d[i] = blendPixel<kColour>(t, a[i], kColour ? s[i] : 0u, d[i]);
                }
            }
        }
    }
}

namespace sse2 {

struct Lanes {
    using V = __m128i;
    static constexpr int kLanes = 8;
    static V load(const std::uint16_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(std::uint16_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static V alpha(const std::uint8_t* a) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const V*>(a)),
                                 _mm_setzero_si128());
    }
    static V set1(std::uint16_t v) { return _mm_set1_epi16(static_cast<std::int16_t>(v)); }
    static V add(V a, V b) { return _mm_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm_sub_epi16(a, b); }
    static V mullo(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V mulhi(V a, V b) { return _mm_mulhi_epu16(a, b); }
    template <int n> static V srli(V a) { return _mm_srli_epi16(a, n); }
    template <int n> static V slli(V a) { return _mm_slli_epi16(a, n); }
    static V bitAnd(V a, V b) { return _mm_and_si128(a, b); }
    static V bitOr(V a, V b) { return _mm_or_si128(a, b); }
    static V isZero(V a) { return _mm_cmpeq_epi16(a, _mm_setzero_si128()); }
    static V select(V mask, V yes, V no) {
        return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
    }
    // Each lane's row form, split into multipliers and biases; nonzero when a lane's row has
    // none.
    static std::uint32_t gatherForms(const std::uint32_t* forms, const std::uint8_t* a, V& m,
                                     V& b) {
        const auto word = [&](int i) { return static_cast<int>(forms[a[i]]); };
        const V low = _mm_setr_epi32(word(0), word(1), word(2), word(3));
        const V high = _mm_setr_epi32(word(4), word(5), word(6), word(7));
        // Multipliers fit 15 bits, so the signed packs keep them; a bias with the no-form bit
        // packs to 0x8000, which keeps it too.
        m = _mm_packs_epi32(_mm_srai_epi32(_mm_slli_epi32(low, 16), 16),
                            _mm_srai_epi32(_mm_slli_epi32(high, 16), 16));
        b = _mm_packs_epi32(_mm_srai_epi32(low, 16), _mm_srai_epi32(high, 16));
        return static_cast<std::uint32_t>(_mm_movemask_epi8(b)) & 0xAAAAu;
    }
    // One bit for each of the 32 alphas at a, set where it is 255.
    static std::uint32_t opaque32(const std::uint8_t* a) {
        const __m128i all = _mm_set1_epi8(-1);
        const auto half = [&all](const std::uint8_t* p) {
            return static_cast<std::uint32_t>(_mm_movemask_epi8(
                _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), all)));
        };
        return half(a) | half(a + 16) << 16;
    }
    static void copy(std::uint16_t* d, const std::uint16_t* s, std::int32_t n) {
        rowcopy::copyRun(d, s, n);
    }
};

#include "visual/AlphaBlendLanes.inl"

} // namespace sse2

#if defined(QX_AVX2_PATHS)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace avx2 {

struct Lanes {
    using V = __m256i;
    static constexpr int kLanes = 16;
    static V load(const std::uint16_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const V*>(p));
    }
    static void store(std::uint16_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V alpha(const std::uint8_t* a) {
        return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)));
    }
    static V set1(std::uint16_t v) { return _mm256_set1_epi16(static_cast<std::int16_t>(v)); }
    static V add(V a, V b) { return _mm256_add_epi16(a, b); }
    static V sub(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V mullo(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V mulhi(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    template <int n> static V srli(V a) { return _mm256_srli_epi16(a, n); }
    template <int n> static V slli(V a) { return _mm256_slli_epi16(a, n); }
    static V bitAnd(V a, V b) { return _mm256_and_si256(a, b); }
    static V bitOr(V a, V b) { return _mm256_or_si256(a, b); }
    static V isZero(V a) { return _mm256_cmpeq_epi16(a, _mm256_setzero_si256()); }
    static V select(V mask, V yes, V no) { return _mm256_blendv_epi8(no, yes, mask); }
    static std::uint32_t gatherForms(const std::uint32_t* forms, const std::uint8_t* a, V& m,
                                     V& b) {
        const auto* table = reinterpret_cast<const int*>(forms);
        const V low = _mm256_i32gather_epi32(
            table, _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a))), 4);
        const V high = _mm256_i32gather_epi32(
            table, _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(a + 8))),
            4);
        // The packs interleave the 128-bit halves; the permutation puts the lanes in order.
        constexpr int kInOrder = 0xD8; // halves 0, 2, 1, 3
        m = _mm256_permute4x64_epi64(
            _mm256_packs_epi32(_mm256_srai_epi32(_mm256_slli_epi32(low, 16), 16),
                               _mm256_srai_epi32(_mm256_slli_epi32(high, 16), 16)),
            kInOrder);
        b = _mm256_permute4x64_epi64(
            _mm256_packs_epi32(_mm256_srai_epi32(low, 16), _mm256_srai_epi32(high, 16)), kInOrder);
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(b)) & 0xAAAAAAAAu;
    }
    static std::uint32_t opaque32(const std::uint8_t* a) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(
            _mm256_loadu_si256(reinterpret_cast<const V*>(a)), _mm256_set1_epi8(-1))));
    }
    static void copy(std::uint16_t* d, const std::uint16_t* s, std::int32_t n) {
        rowcopy::copyRunWide(d, s, n);
    }
};

#include "visual/AlphaBlendLanes.inl"

} // namespace avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

} // namespace

void blendAlphaRows(const BlendTables& tables, const BlendSpan& span, bool copyOpaque) {
    const VectorPath path = vectorPath();
#if defined(QX_AVX2_PATHS)
    if (path == VectorPath::avx2) {
        avx2::blendAll(tables, span, copyOpaque);
        return;
    }
#endif
    if (path != VectorPath::scalar) {
        sse2::blendAll(tables, span, copyOpaque);
        return;
    }
    if (span.colour.first != nullptr) {
        blendRowsOneByOne<true>(tables, span);
    } else {
        blendRowsOneByOne<false>(tables, span);
    }
}

} // namespace qx
