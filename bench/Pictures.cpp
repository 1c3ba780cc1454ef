#include "Pictures.h"

#include <algorithm>
#include <cmath>

namespace qxbench {

namespace {

std::uint16_t rgb15(int r, int g, int b) {
    return static_cast<std::uint16_t>(((r & 31) << 10) | ((g & 31) << 5) | (b & 31));
}

// 255 well inside the oval, 0 outside, a ramp over its last six pixels.
std::uint32_t ovalAlpha(int x, int y, int width, int height) {
    const double rx = width / 2.0 - 4;
    const double ry = height / 2.0 - 4;
    const double dx = (x + 0.5 - width / 2.0) / rx;
    const double dy = (y + 0.5 - height / 2.0) / ry;
    const double inside = (1.0 - std::sqrt(dx * dx + dy * dy)) * std::min(rx, ry) / 6.0;
    return static_cast<std::uint32_t>(std::clamp(inside, 0.0, 1.0) * 255.0);
}

} // namespace

Picture alphaPicture() {
    Picture p{256, 192, {}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const auto r = static_cast<std::uint32_t>(x);
            const auto g = static_cast<std::uint32_t>(y + 40);
            const auto b = static_cast<std::uint32_t>((x ^ y) & 255);
            p.pixels.push_back(ovalAlpha(x, y, p.width, p.height) << 24 | r << 16 | g << 8 | b);
        }
    }
    return p;
}

Picture gradientPicture() {
    Picture p{256, 192, {}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const auto a = static_cast<std::uint32_t>(1 + (x * 3 + y * 5) % 254);
            const auto r = static_cast<std::uint32_t>(255 - x);
            const auto g = static_cast<std::uint32_t>((x + y) & 255);
            const auto b = static_cast<std::uint32_t>(y + 60);
            p.pixels.push_back(a << 24 | r << 16 | g << 8 | b);
        }
    }
    return p;
}

Picture opaquePicture() {
    Picture p = alphaPicture();
    for (auto& v : p.pixels) {
        v |= 0xFF000000u;
    }
    return p;
}

Picture maskPicture() {
    Picture p = alphaPicture();
    for (auto& v : p.pixels) {
        v >>= 24;
    }
    return p;
}

Picture cursorPicture() {
    Picture p{96, 128, {}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const bool inArrow = x * p.height < y * p.width;
            const bool outline = inArrow && (x < 2 || (x + 3) * p.height >= y * p.width);
            p.pixels.push_back(!inArrow  ? 0u
                               : outline ? rgb15(2, 2, 2)
                                         : rgb15(31 - x / 8, 31 - y / 8, 28));
        }
    }
    return p;
}

Picture translucentPicture() {
    Picture p{256, 192, {}};
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            p.pixels.push_back(rgb15(x / 8, y / 6, (x + y) / 14));
        }
    }
    return p;
}

std::vector<std::uint16_t> screenBackground() {
    std::vector<std::uint16_t> screen;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            screen.push_back(rgb15(x / 21, y / 16, (x * 7 + y * 3) & 31));
        }
    }
    return screen;
}

} // namespace qxbench
