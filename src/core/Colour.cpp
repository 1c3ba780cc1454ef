#include <cstring>

#include "qx/geometry.h"
#include "services/HostServices.h"

namespace qx {

namespace {
// Channel order in the per-channel arrays below.
int channelOf(char c) {
    switch (c) {
    case 'r': return 0;
    case 'g': return 1;
    case 'b': return 2;
    case 'a': return 3;
    case 'i': return 4;
    default: return -1;
    }
}
} // namespace

std::uint32_t Colour::pixelValue(std::uint32_t format) const {
    const char* name = atomName(format);
    if (name == nullptr) {
        return 0;
    }
    const std::int32_t components[5] = {red, green, blue, alpha, index};
    int bits[5] = {0, 0, 0, 0, 0};
    const std::size_t length = std::strlen(name);
    for (std::size_t i = 0; i < length; ++i) {
        const int channel = channelOf(name[i]);
        if (channel >= 0) {
            ++bits[channel];
        }
    }
    std::int32_t reduced[5];
    for (int c = 0; c < 5; ++c) {
        // Arithmetic shift keeps the sign, as the packing of a palette index of -1 expects.
        const int shift = 8 - bits[c];
        reduced[c] = shift > 0 ? components[c] >> shift : components[c];
    }
    int remaining[5] = {bits[0], bits[1], bits[2], bits[3], bits[4]};
    std::uint32_t result = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const int channel = channelOf(name[i]);
        if (channel < 0) {
            continue;
        }
        --remaining[channel];
        const std::size_t position = length - 1 - i;
        // A pixel value has 32 bits; whatever a longer name describes above them falls off.
        if (position >= 32 || remaining[channel] >= 32) {
            continue;
        }
        const std::uint32_t bit =
            (static_cast<std::uint32_t>(reduced[channel]) >> remaining[channel]) & 1u;
        result |= bit << position;
    }
    return result;
}

} // namespace qx
