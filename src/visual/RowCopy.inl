// Copies of runs of 16-bit pixels with fixed-size moves kept inline: runs are short (a cursor
// row is a few dozen pixels), and a call to memcpy per run cost more than the copy.
// Included by the draws' sources only: the inline copies, not a record of the module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "visual/VectorPath.h"
#if defined(QX_AVX2_PATHS)
#include <immintrin.h>
#endif

namespace qx::rowcopy {

// 16 bytes in one vector register.
using Block16 = std::uint8_t __attribute__((vector_size(16)));

inline Block16 load16(const std::uint8_t* p) {
    Block16 b;
    std::memcpy(&b, p, 16);
    return b;
}

inline void store16(std::uint8_t* p, Block16 b) { std::memcpy(p, &b, 16); }

// Copies n bytes, sizeof(T) <= n <= 2 sizeof(T), as a first and a last move that overlap.
template <class T>
inline void copyHeadAndTail(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    T head;
    T tail;
    std::memcpy(&head, s, sizeof(T));
    std::memcpy(&tail, s + n - sizeof(T), sizeof(T));
    std::memcpy(d, &head, sizeof(T));
    std::memcpy(d + n - sizeof(T), &tail, sizeof(T));
}

// Copies n bytes, 32 < n <= 64 (kFour false) or 64 < n <= 128 (kFour true). Every block is
// loaded before any is stored, so the loads never wait behind stores to the screen; the tail
// blocks overlap the head ones when n is not a multiple of 16.
template <bool kFour>
inline void copyBlocks(std::uint8_t* d, const std::uint8_t* s, std::size_t n) {
    const Block16 h0 = load16(s);
    const Block16 h1 = load16(s + 16);
    const Block16 t1 = load16(s + n - 32);
    const Block16 t0 = load16(s + n - 16);
    if constexpr (kFour) {
        const Block16 h2 = load16(s + 32);
        const Block16 h3 = load16(s + 48);
        const Block16 t3 = load16(s + n - 64);
        const Block16 t2 = load16(s + n - 48);
        store16(d + 32, h2);
        store16(d + 48, h3);
        store16(d + n - 64, t3);
        store16(d + n - 48, t2);
    }
    store16(d, h0);
    store16(d + 16, h1);
    store16(d + n - 32, t1);
    store16(d + n - 16, t0);
}

// Copies n 16-bit pixels.
inline void copyRun(std::uint16_t* to, const std::uint16_t* from, std::int32_t n) {
    auto* d = reinterpret_cast<std::uint8_t*>(to);
    const auto* s = reinterpret_cast<const std::uint8_t*>(from);
    const auto bytes = static_cast<std::size_t>(n) * 2;
    if (bytes > 256) {
        std::memcpy(d, s, bytes);
    } else if (bytes > 128) {
        copyBlocks<true>(d, s, 128);
        copyBlocks<true>(d + bytes - 128, s + bytes - 128, 128);
    } else if (bytes > 64) {
        copyBlocks<true>(d, s, bytes);
    } else if (bytes > 32) {
        copyBlocks<false>(d, s, bytes);
    } else if (bytes >= 16) {
        copyHeadAndTail<Block16>(d, s, bytes);
    } else if (bytes >= 8) {
        copyHeadAndTail<std::uint64_t>(d, s, bytes);
    } else if (bytes >= 4) {
        copyHeadAndTail<std::uint32_t>(d, s, bytes);
    } else if (bytes == 2) {
        std::memcpy(d, s, 2);
    }
}

#if defined(QX_AVX2_PATHS)
__attribute__((target("avx2"))) inline __m256i load(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

__attribute__((target("avx2"))) inline void store(std::uint8_t* p, __m256i v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}

// The same copies in 32-byte moves, for processors with AVX2: half as many moves per run.
__attribute__((target("avx2"))) inline void copyRunWide(std::uint16_t* to,
                                                        const std::uint16_t* from, std::int32_t n) {
    auto* d = reinterpret_cast<std::uint8_t*>(to);
    const auto* s = reinterpret_cast<const std::uint8_t*>(from);
    const auto bytes = static_cast<std::size_t>(n) * 2;
    if (bytes > 256) {
        std::memcpy(d, s, bytes);
    } else if (bytes > 64) {
        // Whole blocks from the start, then the block that ends the run: a store per 32
        // bytes, where overlapping head and tail blocks stored up to twice that.
        const __m256i tail = load(s + bytes - 32);
        std::size_t k = 0;
        do {
            store(d + k, load(s + k));
            k += 32;
        } while (k + 32 < bytes);
        store(d + bytes - 32, tail);
    } else if (bytes > 32) {
        const __m256i head = load(s), tail = load(s + bytes - 32);
        store(d, head);
        store(d + bytes - 32, tail);
    } else {
        copyRun(to, from, n);
    }
}

#endif

} // namespace qx::rowcopy
