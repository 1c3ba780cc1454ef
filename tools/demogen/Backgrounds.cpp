#include <cmath>
#include <vector>

#include "demogen/Art.h"
#include "demogen/DemoLayout.h"
#include "demogen/Random.h"

namespace demogen {

namespace {

constexpr float kWidth = kScreenWidth;
constexpr float kBand = kBandTop;
constexpr float kFloorTop = 300;

Shape box(float x, float y, float w, float h) { return roundedBox(x, y, w, h, 0); }

Rgba bandColour() { return rgb(kBandColour.r, kBandColour.g, kBandColour.b); }

// Fades from `c` at the centre to nothing at the rim.
Paint glow(float cx, float cy, float radius, Rgba c) {
    return radialGradient(cx, cy, radius, c, withAlpha(c, 0));
}

// The topic bar's band, with a shadow above it and a thin line in the round's colour.
void paintBand(Picture& p, Rgba accent) {
    p.fill(box(0, kBand - 16, kWidth, 16),
           verticalGradient(kBand - 16, rgb(0, 0, 0, 0), kBand, rgb(0, 0, 0, 0.55f)));
    p.fill(box(0, kBand, kWidth, kScreenHeight - kBand), bandColour());
    p.fill(box(0, kBand, kWidth, 2), withAlpha(accent, 0.9f));
    p.fill(box(0, kBand + 2, kWidth, 6),
           verticalGradient(kBand + 2, withAlpha(accent, 0.25f), kBand + 8, withAlpha(accent, 0)));
}

void paintStars(Picture& p, Random& random, int count, float bottom) {
    for (int i = 0; i < count; ++i) {
        const float x = random.range(0, kWidth);
        const float y = random.range(0, bottom);
        const float r = random.range(0.5f, 1.4f);
        const float a = random.range(0.3f, 0.9f) * (1.0f - y / bottom * 0.6f);
        p.fill(circle(x, y, r), rgb(255, 250, 230, a));
        if (r > 1.2f)
            p.fill(circle(x, y, r * 4), glow(x, y, r * 4, rgb(200, 210, 255, 0.25f)));
    }
}

// A perspective floor from kFloorTop to the band.
void paintFloor(Picture& p, Rgba far, Rgba near, Rgba lines, Rgba edge) {
    p.fill(box(0, kFloorTop, kWidth, kBand - kFloorTop),
           verticalGradient(kFloorTop, far, kBand, near));
    for (int k = -10; k <= 10; ++k) {
        const float x0 = 320 + static_cast<float>(k) * 26;
        const float x1 = 320 + static_cast<float>(k) * 110;
        p.fill(segment(x0, kFloorTop, x1, kBand + 40, 1.2f), lines);
    }
    for (int i = 1; i <= 5; ++i) {
        const float t = static_cast<float>(i) / 6;
        const float y = kFloorTop + (kBand - kFloorTop) * t * t;
        p.fill(segment(0, y, kWidth, y, 1.0f), withAlpha(lines, lines.a * (0.4f + t)));
    }
    p.fill(segment(0, kFloorTop, kWidth, kFloorTop, 2.0f), edge);
}

void paintBeam(Picture& p, float topX, float bottomLeft, float bottomRight, float bottomY, Rgba c) {
    p.fill(polygon(
               {{topX - 12, -10}, {topX + 12, -10}, {bottomRight, bottomY}, {bottomLeft, bottomY}}),
           verticalGradient(-10, c, bottomY, withAlpha(c, 0)), 14.0f);
}

Picture eveningBlue() {
    Picture p(kScreenWidth, kScreenHeight);
    p.fillAll(verticalGradient(0, rgb(8, 10, 40), kFloorTop, rgb(52, 60, 140)));
    Random random(0x5EED0001);
    paintStars(p, random, 150, 250);
    p.fill(ellipse(320, 200, 320, 150), glow(320, 200, 320, rgb(120, 130, 240, 0.35f)));

    // A marquee arch of bulbs behind the doors.
    const Shape arch = roundedBox(70, 34, 500, 300, 44);
    p.fill(grow(arch, 10), rgb(20, 18, 60, 0.35f), 12.0f);
    p.fill(outline(arch, 7), verticalGradient(34, rgb(230, 190, 90), 334, rgb(150, 100, 40)));
    p.fill(outline(grow(arch, -6), 1.5f), rgb(255, 230, 160, 0.6f));
    std::vector<std::pair<float, float>> bulbs;
    for (float x = 122; x <= 518; x += 22)
        bulbs.emplace_back(x, 34);
    for (float y = 86; y <= 300; y += 22) {
        bulbs.emplace_back(70, y);
        bulbs.emplace_back(570, y);
    }
    for (const auto& [x, y] : bulbs) {
        p.fill(circle(x, y, 9), glow(x, y, 9, rgb(255, 220, 140, 0.5f)));
        p.fill(circle(x, y, 3.2f), rgb(255, 246, 210));
    }

    paintBeam(p, 40, 170, 330, 400, rgb(170, 190, 255, 0.22f));
    paintBeam(p, 600, 310, 470, 400, rgb(170, 190, 255, 0.22f));
    paintFloor(p, rgb(34, 34, 96), rgb(14, 14, 44), rgb(110, 120, 230, 0.35f),
               rgb(160, 170, 255, 0.7f));
    p.fill(ellipse(320, 318, 250, 26), glow(320, 318, 250, rgb(180, 190, 255, 0.35f)));
    paintBand(p, rgb(120, 140, 255));
    return p;
}

// Curtain cloth: folds as a brightness wave across x, darker towards the floor.
Paint curtainCloth(float phase) {
    return [phase](float x, float y) {
        const float fold = std::sin((x + phase) * 6.2831853f / 26.0f);
        const float light = 0.45f + 0.4f * fold * fold - 0.25f * (y / kBand);
        return scaled(rgb(190, 24, 36), 0.35f + light);
    };
}

Picture warmRed() {
    Picture p(kScreenWidth, kScreenHeight);
    p.fillAll(radialGradient(320, 210, 420, rgb(150, 44, 30), rgb(36, 6, 8)));
    paintBeam(p, 320, 130, 510, 360, rgb(255, 210, 150, 0.16f));

    // Stage boards.
    p.fill(box(0, kFloorTop + 10, kWidth, kBand - kFloorTop - 10),
           verticalGradient(kFloorTop + 10, rgb(130, 76, 40), kBand, rgb(62, 30, 16)));
    float y = kFloorTop + 10;
    for (int i = 0; y < kBand; ++i) {
        const float step = 8.0f + static_cast<float>(i) * 3.0f;
        p.fill(segment(0, y, kWidth, y, 1.0f), rgb(40, 16, 6, 0.6f));
        for (float x = (i % 2 == 0 ? 30.0f : 90.0f); x < kWidth; x += 120)
            p.fill(segment(x, y, x, y + step, 1.0f), rgb(40, 16, 6, 0.45f));
        y += step;
    }
    p.fill(segment(0, kFloorTop + 10, kWidth, kFloorTop + 10, 2.5f), rgb(230, 180, 90, 0.9f));
    p.fill(ellipse(320, 350, 250, 40), glow(320, 350, 250, rgb(255, 200, 120, 0.4f)));

    // Side curtains, gathered towards the floor.
    std::vector<std::pair<float, float>> left{{0, 0}};
    std::vector<std::pair<float, float>> right{{kWidth, 0}};
    for (int i = 0; i <= 20; ++i) {
        const float t = static_cast<float>(i) / 20;
        const float edge = 118 - 70 * std::pow(t, 1.6f) + 18 * std::sin(t * 3.14159f);
        left.emplace_back(edge, t * kBand);
        right.emplace_back(kWidth - edge, t * kBand);
    }
    left.emplace_back(0, kBand);
    right.emplace_back(kWidth, kBand);
    const Shape leftCurtain = polygon(left);
    const Shape rightCurtain = polygon(right);
    p.fill(grow(leftCurtain, 6), rgb(0, 0, 0, 0.5f), 8.0f);
    p.fill(grow(rightCurtain, 6), rgb(0, 0, 0, 0.5f), 8.0f);
    p.fill(leftCurtain, curtainCloth(0));
    p.fill(rightCurtain, curtainCloth(13));

    // Valance with a scalloped edge and a gold fringe.
    Shape valance = box(0, 0, kWidth, 36);
    for (float x = 20; x < kWidth + 20; x += 40)
        valance = unite(std::move(valance), circle(x, 36, 20));
    p.fill(grow(valance, 4), rgb(0, 0, 0, 0.5f), 6.0f);
    p.fill(valance, curtainCloth(6));
    p.fill(intersect(outline(valance, 3.5f), box(0, 30, kWidth, 40)), rgb(236, 188, 90));
    paintBand(p, rgb(255, 170, 80));
    return p;
}

Shape hexagon(float cx, float cy, float radius) {
    std::vector<std::pair<float, float>> corners;
    for (int i = 0; i < 6; ++i) {
        const float angle = static_cast<float>(i) * 1.0471976f;
        corners.emplace_back(cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    return polygon(corners);
}

Picture studioGreen() {
    Picture p(kScreenWidth, kScreenHeight);
    p.fillAll(verticalGradient(0, rgb(8, 46, 34), kFloorTop, rgb(24, 124, 80)));
    const float radius = 34;
    const float dx = radius * 1.5f;
    const float dy = radius * 1.7320508f;
    for (int col = 0; col * dx < kWidth + radius; ++col) {
        for (int row = 0; row * dy < kFloorTop + radius; ++row) {
            const float cx = static_cast<float>(col) * dx;
            const float cy = static_cast<float>(row) * dy + (col % 2 == 1 ? dy / 2 : 0);
            const float fade = 1.0f - std::hypot(cx - 320, cy - 180) / 420;
            p.fill(outline(hexagon(cx, cy, radius - 3), 1.6f),
                   rgb(140, 255, 190, 0.04f + 0.22f * clamp01(fade)));
        }
    }
    for (int i = -4; i <= 4; ++i) {
        const float spread = static_cast<float>(i) * 80;
        p.fill(
            polygon({{316, -20}, {324, -20}, {320 + spread + 30, 320}, {320 + spread - 30, 320}}),
            verticalGradient(-20, rgb(200, 255, 220, 0.16f), 320, rgb(200, 255, 220, 0)), 8.0f);
    }
    p.fill(ellipse(320, 190, 280, 170), glow(320, 190, 280, rgb(170, 255, 210, 0.3f)));
    paintFloor(p, rgb(12, 74, 48), rgb(4, 30, 20), rgb(120, 255, 180, 0.18f),
               rgb(170, 255, 210, 0.8f));
    for (int k = 1; k <= 4; ++k) {
        const float s = static_cast<float>(k);
        p.fill(outline(ellipse(320, 352, 70 * s, 12 * s), 2.0f),
               rgb(190, 255, 220, 0.45f - 0.08f * s));
    }
    p.fill(ellipse(320, 352, 60, 10), glow(320, 352, 60, rgb(220, 255, 230, 0.5f)));
    paintBand(p, rgb(120, 255, 170));
    return p;
}

} // namespace

Picture roundBackground(int round) {
    switch (round) {
    case 1: return eveningBlue();
    case 2: return warmRed();
    default: return studioGreen();
    }
}

} // namespace demogen
