// A seeded generator whose sequence is the same on every platform and library, so the demo
// files come out byte for byte the same on every build.
#pragma once

#include <cstdint>

namespace demogen {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) / static_cast<float>(1u << 24); }
    float range(float low, float high) { return low + (high - low) * uniform(); }

private:
    std::uint64_t state_;
};

} // namespace demogen
