#include "visual/MixTables.h"

namespace qx {

void MixTables::build(double newOpacity) {
    opacity = newOpacity;
    for (int d = 0; d < 32; ++d) {
        for (int s = 0; s < 32; ++s) {
            const int m = static_cast<int>((1.0 - opacity) * d + s * opacity);
            const int i = d * 32 + s;
            mixRed[i] = static_cast<std::uint16_t>(m << 10);
            mixGreen[i] = static_cast<std::uint16_t>(m << 5);
            mixBlue[i] = static_cast<std::uint16_t>(m);
        }
    }
}

} // namespace qx
