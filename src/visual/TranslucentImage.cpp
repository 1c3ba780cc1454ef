#include "visual/TranslucentImage.h"

#include "visual/DrawArea.h"
#include "visual/VectorPath.h"

namespace qx {

namespace {
// The mixed path does not clip; it is only kept inside the screen so that a picture pushed
// off the edge cannot write outside the framebuffer.
constexpr Rect kScreen(0, 0, 640, 480);

void mixLookedUp(const MixTables& t, std::uint16_t* d, const std::uint16_t* s, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        const unsigned dp = d[i];
        const unsigned sp = s[i];
        d[i] = static_cast<std::uint16_t>(t.mixRed[((dp >> 10) & 31u) * 32 + ((sp >> 10) & 31u)] |
                                          t.mixGreen[((dp >> 5) & 31u) * 32 + ((sp >> 5) & 31u)] |
                                          t.mixBlue[(dp & 31u) * 32 + (sp & 31u)]);
    }
}

// Written in 16-bit arithmetic that cannot overflow (the tables checked it), so that the
// compiler mixes several pixels per instruction.
inline __attribute__((always_inline)) void mixLinear(const MixTables& t,
                                                     std::uint16_t* __restrict d,
                                                     const std::uint16_t* __restrict s,
                                                     std::int32_t n) {
    const std::uint16_t dw = t.dstWeight;
    const std::uint16_t sw = t.srcWeight;
    const std::uint16_t bias = t.bias;
    for (std::int32_t i = 0; i < n; ++i) {
        const std::uint16_t dp = d[i];
        const std::uint16_t sp = s[i];
        const auto mix = [&](int shift) {
            const auto dc = static_cast<std::uint16_t>((dp >> shift) & 31u);
            const auto sc = static_cast<std::uint16_t>((sp >> shift) & 31u);
            return static_cast<std::uint16_t>(
                static_cast<std::uint16_t>(dc * dw + sc * sw + bias) >> MixTables::kLinearShift);
        };
        d[i] = static_cast<std::uint16_t>(mix(10) << 10 | mix(5) << 5 | mix(0));
    }
}

#if defined(QX_AVX2_PATHS)
// The same loop, sixteen pixels per instruction.
__attribute__((target("avx2"))) void mixLinearWide(const MixTables& t, std::uint16_t* __restrict d,
                                                   const std::uint16_t* __restrict s,
                                                   std::int32_t n) {
    mixLinear(t, d, s, n);
}
#endif

// Where the vectorised loop is not wanted (the plain path), one pixel at a time.
__attribute__((noinline)) void mixLinearOneByOne(const MixTables& t, std::uint16_t* d,
                                                 const std::uint16_t* s, std::int32_t n) {
    for (std::int32_t i = 0; i < n; ++i) {
        mixLinear(t, d + i, s + i, 1);
    }
}
} // namespace

TranslucentImage::TranslucentImage(std::int32_t x, std::int32_t y, ResourceEntry* resource)
    : ImageElement(resource) {
    position = Point(x, y);
}

void TranslucentImage::setOpacity(double opacity) {
    opaque = 0;
    invisible = 0;
    if (opacity == 1.0) {
        opaque = 1;
    } else if (opacity < 0.0001) {
        invisible = 1;
    } else if (opacity != mixTables.opacity) {
        // The same opacity would rebuild the same tables; doors ask for it every frame.
        mixTables.build(opacity);
    }
}

void TranslucentImage::draw(Canvas* canvas) {
    if (canvas == nullptr || invisible == 1) {
        return;
    }
    if (opaque == 1) {
        ImageElement::draw(canvas);
        return;
    }
    matchCanvasFormat(canvas);
    drawMixed(canvas);
}

void TranslucentImage::drawMixed(Canvas* canvas) {
    const DrawArea area =
        placeDraw(*canvas, position, Rect(0, 0, description.width, description.height), kScreen);
    if (area.isEmpty()) {
        return;
    }
    // The picture's rows are locked first and given back last.
    DrawLocks locks(*canvas, area);
    const PixelRows picture = locks.picture(bitmap, 16);
    const PixelRows screen = locks.screen();
    if (!locks.ready()) {
        return;
    }
    const std::int32_t width = area.visible.width;
    const VectorPath path = vectorPath();
    for (std::int32_t row = 0; row < area.visible.height; ++row) {
        std::uint16_t* d = screen.row<std::uint16_t>(row);
        const std::uint16_t* s = picture.row<const std::uint16_t>(row);
        if (!mixTables.linear) {
            mixLookedUp(mixTables, d, s, width);
        } else if (path == VectorPath::scalar) {
            mixLinearOneByOne(mixTables, d, s, width);
#if defined(QX_AVX2_PATHS)
        } else if (path == VectorPath::avx2) {
            mixLinearWide(mixTables, d, s, width);
#endif
        } else {
            mixLinear(mixTables, d, s, width);
        }
    }
}

} // namespace qx
