#include "demogen/Raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace demogen {

Rgba rgb(int r, int g, int b, float alpha) {
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f,
            static_cast<float>(b) / 255.0f, alpha};
}

Rgba mix(const Rgba& from, const Rgba& to, float t) {
    t = clamp01(t);
    return {from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t,
            from.b + (to.b - from.b) * t, from.a + (to.a - from.a) * t};
}

Rgba withAlpha(Rgba c, float alpha) {
    c.a = alpha;
    return c;
}

Rgba scaled(Rgba c, float factor) {
    if (factor <= 1.0f)
        return {c.r * factor, c.g * factor, c.b * factor, c.a};
    const float toWhite = factor - 1.0f;
    return {c.r + (1 - c.r) * toWhite, c.g + (1 - c.g) * toWhite, c.b + (1 - c.b) * toWhite, c.a};
}

float clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

float smoothstep(float edge0, float edge1, float v) {
    const float t = clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

namespace {

Bounds join(const Bounds& a, const Bounds& b) {
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

Bounds meet(const Bounds& a, const Bounds& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

} // namespace

Shape circle(float cx, float cy, float radius) {
    return {[=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; },
            {cx - radius, cy - radius, cx + radius, cy + radius}};
}

Shape ellipse(float cx, float cy, float rx, float ry) {
    return {[=](float x, float y) {
                const float px = x - cx, py = y - cy;
                const float k0 = std::hypot(px / rx, py / ry);
                const float k1 = std::hypot(px / (rx * rx), py / (ry * ry));
                if (k1 == 0.0f)
                    return -std::min(rx, ry);
                return k0 * (k0 - 1.0f) / k1;
            },
            {cx - rx, cy - ry, cx + rx, cy + ry}};
}

Shape roundedBox(float x, float y, float w, float h, float radius) {
    const float cx = x + w / 2, cy = y + h / 2, hx = w / 2, hy = h / 2;
    return {[=](float px, float py) {
                const float qx = std::abs(px - cx) - hx + radius;
                const float qy = std::abs(py - cy) - hy + radius;
                return std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) +
                       std::min(std::max(qx, qy), 0.0f) - radius;
            },
            {x, y, x + w, y + h}};
}

Shape segment(float x0, float y0, float x1, float y1, float thickness) {
    const float half = thickness / 2;
    return {[=](float px, float py) {
                const float ex = x1 - x0, ey = y1 - y0;
                const float wx = px - x0, wy = py - y0;
                const float len2 = ex * ex + ey * ey;
                const float t = len2 > 0 ? clamp01((wx * ex + wy * ey) / len2) : 0.0f;
                return std::hypot(wx - ex * t, wy - ey * t) - half;
            },
            {std::min(x0, x1) - half, std::min(y0, y1) - half, std::max(x0, x1) + half,
             std::max(y0, y1) + half}};
}

Shape polygon(std::vector<std::pair<float, float>> points) {
    Bounds box{points[0].first, points[0].second, points[0].first, points[0].second};
    for (const auto& [x, y] : points)
        box = join(box, {x, y, x, y});
    return {[pts = std::move(points)](float px, float py) {
                // Exact distance to the edges, with the sign flipped by each crossing.
                float best = std::numeric_limits<float>::max();
                float sign = 1.0f;
                const std::size_t n = pts.size();
                for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
                    const float ex = pts[j].first - pts[i].first;
                    const float ey = pts[j].second - pts[i].second;
                    const float wx = px - pts[i].first, wy = py - pts[i].second;
                    const float t = clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
                    const float bx = wx - ex * t, by = wy - ey * t;
                    best = std::min(best, bx * bx + by * by);
                    const bool c1 = py >= pts[i].second;
                    const bool c2 = py < pts[j].second;
                    const bool c3 = ex * wy > ey * wx;
                    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3))
                        sign = -sign;
                }
                return sign * std::sqrt(best);
            },
            box};
}

Shape unite(Shape a, Shape b) {
    const Bounds box = join(a.bounds, b.bounds);
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::min(a(x, y), b(x, y));
            },
            box};
}

Shape subtract(Shape a, Shape b) {
    const Bounds box = a.bounds;
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::max(a(x, y), -b(x, y));
            },
            box};
}

Shape intersect(Shape a, Shape b) {
    const Bounds box = meet(a.bounds, b.bounds);
    return {[a = std::move(a.distance), b = std::move(b.distance)](float x, float y) {
                return std::max(a(x, y), b(x, y));
            },
            box};
}

Shape outline(Shape s, float width) {
    const Bounds box = s.bounds.grown(width / 2);
    return {[d = std::move(s.distance), half = width / 2](float x, float y) {
                return std::abs(d(x, y)) - half;
            },
            box};
}

Shape grow(Shape s, float by) {
    const Bounds box = s.bounds.grown(std::max(by, 0.0f));
    return {[d = std::move(s.distance), by](float x, float y) { return d(x, y) - by; }, box};
}

Shape moved(Shape s, float dx, float dy) {
    const Bounds box{s.bounds.x0 + dx, s.bounds.y0 + dy, s.bounds.x1 + dx, s.bounds.y1 + dy};
    return {[d = std::move(s.distance), dx, dy](float x, float y) { return d(x - dx, y - dy); },
            box};
}

Paint solid(Rgba c) {
    return [c](float, float) { return c; };
}

Paint verticalGradient(float y0, Rgba top, float y1, Rgba bottom) {
    return [=](float, float y) { return mix(top, bottom, (y - y0) / (y1 - y0)); };
}

Paint horizontalGradient(float x0, Rgba left, float x1, Rgba right) {
    return [=](float x, float) { return mix(left, right, (x - x0) / (x1 - x0)); };
}

Paint radialGradient(float cx, float cy, float radius, Rgba centre, Rgba edge) {
    return [=](float x, float y) { return mix(centre, edge, std::hypot(x - cx, y - cy) / radius); };
}

Picture::Picture(int width, int height, Rgba fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Picture::blend(int x, int y, const Rgba& c, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    const float sa = clamp01(c.a * coverage);
    if (sa <= 0.0f)
        return;
    Rgba& d = at(x, y);
    const float keep = d.a * (1.0f - sa);
    const float outA = sa + keep;
    d.r = (c.r * sa + d.r * keep) / outA;
    d.g = (c.g * sa + d.g * keep) / outA;
    d.b = (c.b * sa + d.b * keep) / outA;
    d.a = outA;
}

void Picture::fill(const Shape& shape, const Paint& paint, float softness) {
    const Bounds box = shape.bounds.grown(softness + 1.0f);
    const int x0 = std::max(0, static_cast<int>(std::floor(box.x0)));
    const int y0 = std::max(0, static_cast<int>(std::floor(box.y0)));
    const int x1 = std::min(width_, static_cast<int>(std::ceil(box.x1)) + 1);
    const int y1 = std::min(height_, static_cast<int>(std::ceil(box.y1)) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float coverage = clamp01(0.5f - shape.distance(px, py) / softness);
            if (coverage > 0.0f)
                blend(x, y, paint(px, py), coverage);
        }
    }
}

void Picture::fill(const Shape& shape, const Rgba& colour, float softness) {
    fill(shape, solid(colour), softness);
}

void Picture::fillAll(const Paint& paint) {
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x)
            blend(x, y, paint(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f), 1.0f);
    }
}

void Picture::stamp(const Mask& mask, int x, int y, const Paint& paint, float opacity) {
    for (int my = 0; my < mask.height; ++my) {
        for (int mx = 0; mx < mask.width; ++mx) {
            const unsigned char c = mask.coverage[static_cast<std::size_t>(my * mask.width + mx)];
            if (c == 0)
                continue;
            const float px = static_cast<float>(x + mx) + 0.5f;
            const float py = static_cast<float>(y + my) + 0.5f;
            blend(x + mx, y + my, paint(px, py), opacity * static_cast<float>(c) / 255.0f);
        }
    }
}

void Picture::draw(const Picture& other, int x, int y) {
    for (int oy = 0; oy < other.height(); ++oy) {
        for (int ox = 0; ox < other.width(); ++ox)
            blend(x + ox, y + oy, other.at(ox, oy), 1.0f);
    }
}

} // namespace demogen
