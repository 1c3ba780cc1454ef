#include <algorithm>
#include <cmath>

#include "demogen/Art.h"
#include "demogen/DemoLayout.h"

namespace demogen {

namespace {

Shape box(float x, float y, float w, float h) { return roundedBox(x, y, w, h, 0); }

// Top-left corner that centres a mask on (cx, cy).
std::pair<int, int> centred(const Mask& m, float cx, float cy) {
    return {static_cast<int>(std::lround(cx - static_cast<float>(m.width) / 2)),
            static_cast<int>(std::lround(cy - static_cast<float>(m.height) / 2))};
}

// The largest rendering of `text` that fits the box.
Mask fitted(const Glyphs& glyphs, const std::string& text, int maxWidth, int maxHeight) {
    for (int size = maxHeight * 2; size > 4; --size) {
        Mask m = glyphs.render(text, size);
        if (m.width <= maxWidth && m.height <= maxHeight)
            return m;
    }
    return glyphs.render(text, 4);
}

// Stamps a mask several times around its place: a soft halo or a solid border.
void stampAround(Picture& p, const Mask& m, int x, int y, int radius, Rgba c, float opacity) {
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            if (dx * dx + dy * dy <= radius * radius)
                p.stamp(m, x + dx, y + dy, solid(c), opacity);
        }
    }
}

// A recessed panel: dark lower-right lip, light upper-left lip, then the face.
void panel(Picture& p, float x, float y, float w, float h, Rgba face) {
    const Shape s = roundedBox(x, y, w, h, 3);
    p.fill(moved(s, 1.5f, 1.5f), rgb(255, 255, 255, 0.35f));
    p.fill(moved(s, -1.5f, -1.5f), rgb(0, 0, 0, 0.45f));
    p.fill(s, verticalGradient(y, scaled(face, 0.85f), y + h, scaled(face, 1.1f)));
}

struct DoorColours {
    int r, g, b;
};
constexpr DoorColours kDoorColours[kDoorCount] = {
    {196, 40, 52},  {40, 96, 206},  {36, 150, 84}, {134, 62, 184}, {226, 124, 30},
    {22, 150, 160}, {204, 52, 140}, {78, 74, 196}, {150, 96, 44},
};

} // namespace

Picture doorPicture(int number, const Glyphs& glyphs) {
    const float w = kDoorWidth, h = kDoorHeight;
    const DoorColours& dc = kDoorColours[(number - 1) % kDoorCount];
    const Rgba leaf = rgb(dc.r, dc.g, dc.b);

    Picture p(kDoorWidth, kDoorHeight);
    // Gold casing with a bevel.
    p.fillAll(verticalGradient(0, rgb(232, 202, 126), h, rgb(146, 104, 44)));
    p.fill(segment(0.5f, 0.5f, w - 0.5f, 0.5f, 1.5f), rgb(255, 246, 210, 0.8f));
    p.fill(segment(0.5f, 0.5f, 0.5f, h, 1.5f), rgb(255, 246, 210, 0.6f));
    p.fill(segment(w - 0.5f, 0.5f, w - 0.5f, h, 1.5f), rgb(80, 50, 10, 0.7f));

    // The leaf, lit from the top.
    const Shape leafShape = box(8, 8, w - 16, h - 8);
    p.fill(grow(leafShape, 1.5f), rgb(40, 20, 0, 0.8f));
    p.fill(leafShape, verticalGradient(8, scaled(leaf, 1.25f), h, scaled(leaf, 0.55f)));
    panel(p, 16, 56, w - 32, 36, leaf);
    panel(p, 16, 104, w - 32, 34, leaf);

    // Number plaque.
    const Shape plaque = roundedBox(20, 10, w - 40, 32, 7);
    p.fill(moved(plaque, 1, 2), rgb(0, 0, 0, 0.4f), 2.0f);
    p.fill(plaque, verticalGradient(10, rgb(255, 246, 220), 42, rgb(226, 206, 160)));
    p.fill(outline(plaque, 2), rgb(120, 80, 20));
    const Mask digit = fitted(glyphs, std::to_string(number), 44, 24);
    const auto [dx, dy] = centred(digit, w / 2, 26);
    p.stamp(digit, dx + 1, dy + 1, solid(rgb(0, 0, 0, 0.35f)));
    p.stamp(digit, dx, dy, solid(scaled(leaf, 0.6f)));

    // Knob on the rail between the panels.
    p.fill(circle(w - 20.5f, 99.5f, 5), rgb(0, 0, 0, 0.45f), 2.0f);
    p.fill(circle(w - 22, 98, 5),
           radialGradient(w - 24, 96, 7, rgb(255, 244, 180), rgb(150, 100, 30)));
    return p;
}

Picture questionMark(const Glyphs& glyphs) {
    Picture p(kMarkWidth, kMarkHeight);
    const Mask mark = fitted(glyphs, "?", kMarkWidth - 10, kMarkHeight - 10);
    const auto [x, y] = centred(mark, kMarkWidth / 2.0f, kMarkHeight / 2.0f);
    stampAround(p, mark, x + 1, y + 2, 4, rgb(20, 10, 0), 0.06f);
    stampAround(p, mark, x, y, 2, rgb(90, 44, 0), 0.5f);
    p.stamp(mark, x, y,
            verticalGradient(static_cast<float>(y), rgb(255, 238, 110),
                             static_cast<float>(y + mark.height), rgb(244, 136, 20)));
    return p;
}

Picture cursorPicture() {
    Picture arrow(kCursorWidth, kCursorHeight);
    const Shape shape = polygon({{1.5f, 1.5f},
                                 {1.5f, 21},
                                 {6, 16.5f},
                                 {9.5f, 25},
                                 {13, 23.5f},
                                 {9.5f, 15.5f},
                                 {15.5f, 15.5f}});
    const Rgba outlineColour = rgb(16, 16, 16);
    arrow.fill(grow(shape, 1.3f), outlineColour);
    arrow.fill(shape, verticalGradient(1, rgb(255, 255, 255), 25, rgb(214, 220, 235)));

    // Keyed pictures have no partial transparency: a pixel is either key or picture, and a
    // picture pixel must not turn into the key when the scene drops to 5 bits a channel.
    const float floorLevel = static_cast<float>(outlineColour.r) / 255.0f;
    Picture keyed(kCursorWidth, kCursorHeight, rgb(0, 0, 0));
    for (int y = 0; y < kCursorHeight; ++y) {
        for (int x = 0; x < kCursorWidth; ++x) {
            const Rgba& c = arrow.at(x, y);
            if (c.a < 0.5f)
                continue;
            keyed.at(x, y) = {std::max(c.r, floorLevel), std::max(c.g, floorLevel),
                              std::max(c.b, floorLevel), 1.0f};
        }
    }
    return keyed;
}

Picture edgeMask(bool rightEnd) {
    Picture p(kMaskWidth, kMaskHeight);
    const Rgba band = rgb(kBandColour.r, kBandColour.g, kBandColour.b);
    const float bandRow = static_cast<float>(kBandTop - screen::kLeftMask.y);
    for (int y = 0; y < kMaskHeight; ++y) {
        for (int x = 0; x < kMaskWidth; ++x) {
            // Opaque at the screen edge, clear towards the middle, and only on the band.
            const float fromEdge = static_cast<float>(rightEnd ? kMaskWidth - 1 - x : x) + 0.5f;
            const float across = 1.0f - smoothstep(16, static_cast<float>(kMaskWidth), fromEdge);
            const float down = smoothstep(bandRow - 2, bandRow + 4, static_cast<float>(y) + 0.5f);
            p.at(x, y) = withAlpha(band, across * down);
        }
    }
    return p;
}

Picture arrowButton(bool pointsRight, bool highlighted) {
    const float w = kArrowWidth, h = kArrowHeight;
    Picture p(kArrowWidth, kArrowHeight);
    const Shape body = roundedBox(1.5f, 1.5f, w - 4, h - 4, 8);
    p.fill(moved(body, 1, 1.5f), rgb(0, 0, 0, 0.5f), 2.0f);
    const Rgba top = highlighted ? rgb(150, 130, 250) : rgb(84, 72, 156);
    const Rgba bottom = highlighted ? rgb(84, 60, 180) : rgb(40, 30, 92);
    p.fill(body, verticalGradient(2, top, h - 2, bottom));
    p.fill(outline(body, 1.5f), highlighted ? rgb(255, 226, 130) : rgb(200, 180, 230, 0.7f));
    const float cx = (w - 2) / 2;
    const float tipX = pointsRight ? cx + 6 : cx - 6;
    const float backX = pointsRight ? cx - 5 : cx + 5;
    const Shape arrow = polygon({{backX, h / 2 - 10}, {tipX, h / 2 - 1}, {backX, h / 2 + 8}});
    p.fill(moved(arrow, 0.5f, 1), rgb(0, 0, 0, 0.4f));
    p.fill(arrow, highlighted ? rgb(255, 250, 220) : rgb(236, 232, 250));
    return p;
}

Picture roundButton(bool next, bool highlighted) {
    const float c = kRoundButtonSize / 2.0f;
    Picture p(kRoundButtonSize, kRoundButtonSize);
    if (highlighted)
        p.fill(circle(c, c, c - 0.5f), rgb(255, 236, 150, 0.6f), 3.0f);
    p.fill(circle(c + 1, c + 2, c - 4), rgb(0, 0, 0, 0.5f), 3.0f);
    p.fill(circle(c, c, c - 4), verticalGradient(4, rgb(246, 212, 120), 56, rgb(140, 92, 34)));
    const Rgba inner = highlighted ? rgb(160, 120, 255) : rgb(96, 64, 176);
    p.fill(circle(c, c, c - 9), radialGradient(c - 4, c - 6, c, inner, scaled(inner, 0.4f)));
    p.fill(ellipse(c, c - 10, 15, 7), rgb(255, 255, 255, 0.22f));
    // A double chevron, pointing the way the rounds step.
    const float dir = next ? 1.0f : -1.0f;
    for (float offset : {-6.0f, 6.0f}) {
        const float tip = c + offset + dir * 5;
        const float back = c + offset - dir * 5;
        const Rgba ink = highlighted ? rgb(255, 250, 220) : rgb(236, 232, 250);
        p.fill(unite(segment(back, c - 10, tip, c, 4.5f), segment(tip, c, back, c + 10, 4.5f)),
               ink);
    }
    return p;
}

Picture playButtonStrip(const Glyphs& glyphs) {
    const float w = kPlayFrameWidth, h = kPlayFrameHeight;
    const Mask label = fitted(glyphs, "PLAY", 56, 17);
    Picture strip(kPlayFrameWidth, kPlayFrameHeight * kPlayFrames);
    for (int frame = 0; frame < kPlayFrames; ++frame) {
        const bool hover = frame == 1, pressed = frame == 2;
        const float push = pressed ? 2.0f : 0.0f;
        Picture p(kPlayFrameWidth, kPlayFrameHeight);
        p.fillAll(verticalGradient(0, rgb(30, 26, 52), h, rgb(12, 10, 24)));
        p.fill(box(0, h - 2, w, 2), rgb(220, 176, 80));
        p.fill(box(w - 2, 0, 2, h), rgb(220, 176, 80));

        const Shape pill = roundedBox(10, 7 + push, w - 22, 32, 16);
        if (hover)
            p.fill(grow(pill, 3), rgb(160, 255, 170, 0.45f), 4.0f);
        if (!pressed)
            p.fill(moved(pill, 1, 2), rgb(0, 0, 0, 0.5f), 2.0f);
        const Rgba top = hover ? rgb(120, 246, 140) : pressed ? rgb(30, 128, 56) : rgb(64, 196, 94);
        const Rgba bottom = hover ? rgb(40, 170, 70) : pressed ? rgb(14, 78, 30) : rgb(22, 122, 52);
        p.fill(pill, verticalGradient(7 + push, top, 39 + push, bottom));
        p.fill(outline(pill, 1.5f), rgb(220, 255, 220, pressed ? 0.35f : 0.7f));

        const float mid = 23 + push;
        p.fill(polygon({{24, mid - 9}, {24, mid + 9}, {39, mid}}), rgb(255, 255, 255));
        const auto [lx, ly] = centred(label, 72, mid);
        p.stamp(label, lx + 1, ly + 1, solid(rgb(0, 40, 10, 0.6f)));
        p.stamp(label, lx, ly, solid(rgb(255, 255, 255)));
        strip.draw(p, 0, frame * kPlayFrameHeight);
    }
    return strip;
}

} // namespace demogen
