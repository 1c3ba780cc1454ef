// A small floating-point raster with anti-aliased shapes described by signed distances.
#pragma once

#include <functional>
#include <vector>

namespace demogen {

// Straight (not premultiplied) colour, every channel 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba rgb(int r, int g, int b, float alpha = 1.0f);
Rgba mix(const Rgba& from, const Rgba& to, float t);
Rgba withAlpha(Rgba c, float alpha);
Rgba scaled(Rgba c, float factor); // brighter above 1, darker below
float clamp01(float v);
float smoothstep(float edge0, float edge1, float v);

struct Bounds {
    float x0, y0, x1, y1;
    Bounds grown(float by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
};

// Signed distance in pixels (negative inside) and a box that holds everything inside.
struct Shape {
    std::function<float(float, float)> distance;
    Bounds bounds;
};

Shape circle(float cx, float cy, float radius);
Shape ellipse(float cx, float cy, float rx, float ry);
Shape roundedBox(float x, float y, float w, float h, float radius);
Shape segment(float x0, float y0, float x1, float y1, float thickness);
Shape polygon(std::vector<std::pair<float, float>> points);
Shape unite(Shape a, Shape b);
Shape subtract(Shape a, Shape b);
Shape intersect(Shape a, Shape b);
Shape outline(Shape s, float width);
Shape grow(Shape s, float by);
Shape moved(Shape s, float dx, float dy);

using Paint = std::function<Rgba(float, float)>;
Paint solid(Rgba c);
Paint verticalGradient(float y0, Rgba top, float y1, Rgba bottom);
Paint horizontalGradient(float x0, Rgba left, float x1, Rgba right);
Paint radialGradient(float cx, float cy, float radius, Rgba centre, Rgba edge);

// 8-bit coverage, as a font rasteriser produces it.
struct Mask {
    int width = 0, height = 0;
    std::vector<unsigned char> coverage;
};

class Picture {
public:
    Picture(int width, int height, Rgba fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    const Rgba& at(int x, int y) const { return pixels_[index(x, y)]; }
    Rgba& at(int x, int y) { return pixels_[index(x, y)]; }

    // Source-over blend of one pixel, weighted by coverage (0..1); outside pixels are ignored.
    void blend(int x, int y, const Rgba& c, float coverage);
    // Paints the shape; softness widens the edge (1 = one-pixel anti-aliasing).
    void fill(const Shape& shape, const Paint& paint, float softness = 1.0f);
    void fill(const Shape& shape, const Rgba& colour, float softness = 1.0f);
    void fillAll(const Paint& paint);
    // Lays a mask with its top-left corner at (x, y), coloured by paint.
    void stamp(const Mask& mask, int x, int y, const Paint& paint, float opacity = 1.0f);
    void draw(const Picture& other, int x, int y);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Rgba> pixels_;
};

} // namespace demogen
