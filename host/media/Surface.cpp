#include "media/Surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "media/PngCodec.h"

namespace qxhost {

namespace {

// Endpoints this far out would make the step loop long; such lines are cut to the screen
// first.
constexpr std::int64_t kPlainLineReach = 4096;

bool nearScreen(qx::Point p) {
    return std::abs(std::int64_t{p.x}) < kPlainLineReach &&
           std::abs(std::int64_t{p.y}) < kPlainLineReach;
}

// Cuts the segment to the rectangle (Liang-Barsky); false when nothing of it is inside.
bool clipSegment(double& x0, double& y0, double& x1, double& y1, double left, double top,
                 double right, double bottom) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - left, right - x0, y0 - top, bottom - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) {
            return false;
        }
    }
    const double sx = x0;
    const double sy = y0;
    x0 = sx + t0 * dx;
    y0 = sy + t0 * dy;
    x1 = sx + t1 * dx;
    y1 = sy + t1 * dy;
    return true;
}

// The smallest rectangle holding every point, as inclusive corners.
struct Box {
    std::int32_t left, top, right, bottom;
};
Box boxOf(const qx::PointArray& points) {
    const qx::Point* p = points.points;
    if (points.count == 4) {
        // The frames of titles, four corners each, a hundred times a frame.
        return Box{std::min(std::min(p[0].x, p[1].x), std::min(p[2].x, p[3].x)),
                   std::min(std::min(p[0].y, p[1].y), std::min(p[2].y, p[3].y)),
                   std::max(std::max(p[0].x, p[1].x), std::max(p[2].x, p[3].x)),
                   std::max(std::max(p[0].y, p[1].y), std::max(p[2].y, p[3].y))};
    }
    Box box{p[0].x, p[0].y, p[0].x, p[0].y};
    for (std::int32_t i = 1; i < points.count; ++i) {
        box.left = std::min(box.left, points.points[i].x);
        box.top = std::min(box.top, points.points[i].y);
        box.right = std::max(box.right, points.points[i].x);
        box.bottom = std::max(box.bottom, points.points[i].y);
    }
    return box;
}

} // namespace

Surface::Surface(Host& host, const VanillaBitmapFactory* pictures)
    : table_("surface"), host_(host), format_(host.atoms().identifierOf(kScreenFormat)),
      layout_(*PixelLayout::parse(kScreenFormat)), colour_(255, 255, 255),
      pixels_(static_cast<std::size_t>(kWidth * kHeight), 0), pictures_(pictures) {
    table_.addInterface(qx::kISurfaceName, static_cast<qx::ISurface*>(this));
    for (int value = 0; value < 256; ++value) {
        const auto v = static_cast<std::uint8_t>(value);
        redBits_[value] = static_cast<std::uint16_t>(layout_.pack(Rgba{v, 0, 0}));
        greenBits_[value] = static_cast<std::uint16_t>(layout_.pack(Rgba{0, v, 0}));
        blueBits_[value] = static_cast<std::uint16_t>(layout_.pack(Rgba{0, 0, v}));
    }
    colourPixel_ = pixelOf(colour_);
}

void Surface::setColour(qx::Colour colour) {
    // Scenes set a colour several times for every title they draw, on the screen or not, and
    // draw an outline in few of them: the pixel is packed when an outline needs it.
    colour_ = colour;
    colourPixelStale_ = true;
}

void Surface::plot(std::int64_t x, std::int64_t y, std::uint16_t value) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
        pixels_[static_cast<std::size_t>(y * kWidth + x)] = value;
    }
}

void Surface::line(qx::Point from, qx::Point to, std::uint16_t value) {
    // Both ends beyond one edge, as the frames of a long bar's hidden titles are: no point of
    // the line can show.
    if ((from.x < 0 && to.x < 0) || (from.x >= kWidth && to.x >= kWidth) ||
        (from.y < 0 && to.y < 0) || (from.y >= kHeight && to.y >= kHeight)) {
        return;
    }
    std::int64_t x0 = from.x;
    std::int64_t y0 = from.y;
    std::int64_t x1 = to.x;
    std::int64_t y1 = to.y;
    if (!nearScreen(from) || !nearScreen(to)) {
        double fx0 = from.x, fy0 = from.y, fx1 = to.x, fy1 = to.y;
        if (!clipSegment(fx0, fy0, fx1, fy1, -1.0, -1.0, kWidth, kHeight)) {
            return;
        }
        x0 = std::llround(fx0);
        y0 = std::llround(fy0);
        x1 = std::llround(fx1);
        y1 = std::llround(fy1);
    }
    // Lines wholly off the screen, as most of a long scrolled bar's frames are, end here.
    if (std::max(x0, x1) < 0 || std::min(x0, x1) >= kWidth || std::max(y0, y1) < 0 ||
        std::min(y0, y1) >= kHeight) {
        return;
    }
    // Frames are mostly straight edges: a row or a column is filled directly, clipped once.
    if (y0 == y1) {
        if (y0 >= 0 && y0 < kHeight) {
            const std::int64_t first = std::max<std::int64_t>(std::min(x0, x1), 0);
            const std::int64_t last = std::min<std::int64_t>(std::max(x0, x1), kWidth - 1);
            std::uint16_t* row = &pixels_[static_cast<std::size_t>(y0 * kWidth)];
            for (std::int64_t x = first; x <= last; ++x) {
                row[x] = value;
            }
        }
        return;
    }
    if (x0 == x1) {
        if (x0 >= 0 && x0 < kWidth) {
            const std::int64_t first = std::max<std::int64_t>(std::min(y0, y1), 0);
            const std::int64_t last = std::min<std::int64_t>(std::max(y0, y1), kHeight - 1);
            for (std::int64_t y = first; y <= last; ++y) {
                pixels_[static_cast<std::size_t>(y * kWidth + x0)] = value;
            }
        }
        return;
    }
    const std::int64_t dx = std::abs(x1 - x0);
    const std::int64_t dy = -std::abs(y1 - y0);
    const std::int64_t sx = x0 < x1 ? 1 : -1;
    const std::int64_t sy = y0 < y1 ? 1 : -1;
    std::int64_t error = dx + dy;
    // Every point of a line lies within its ends' box: with both ends on the screen, no
    // point needs its own check. The steps are taken without branches, as the frames' edges
    // are slanted by their jitter and a branch on them would be guessed wrong at each step.
    const bool inside = x0 >= 0 && x0 < kWidth && x1 >= 0 && x1 < kWidth && y0 >= 0 &&
                        y0 < kHeight && y1 >= 0 && y1 < kHeight;
    // Each step moves along the longer axis, so the line has that many steps.
    for (std::int64_t steps = std::max(dx, -dy);; --steps) {
        if (inside) {
            pixels_[static_cast<std::size_t>(y0 * kWidth + x0)] = value;
        } else {
            plot(x0, y0, value);
        }
        if (steps == 0) {
            return;
        }
        const std::int64_t twice = 2 * error;
        const bool alongX = twice >= dy;
        const bool alongY = twice <= dx;
        error += (alongX ? dy : 0) + (alongY ? dx : 0);
        x0 += alongX ? sx : 0;
        y0 += alongY ? sy : 0;
    }
}

void Surface::forget(std::int64_t first, std::int64_t last) {
    // Only rows between the first and last ever remembered need it: small draws on a screen
    // without remembered rows lock rows at no cost.
    const std::int64_t from = std::max<std::int64_t>(first, knownFirst_);
    const std::int64_t to = std::min<std::int64_t>(last, knownLast_);
    for (std::int64_t y = from; y <= to; ++y) {
        origins_[static_cast<std::size_t>(y)].picture = 0;
    }
    if (first <= knownFirst_ && last >= knownLast_) {
        knownFirst_ = kHeight;
        knownLast_ = -1;
    }
}

void Surface::polygon(qx::PointArray points) {
    if (painting_ && points.points != nullptr && points.count > 0) {
        // Every edge lies within the points' box: the frames of titles scrolled off the
        // screen end with this one test.
        const Box box = boxOf(points);
        if (box.right >= 0 && box.left < kWidth && box.bottom >= 0 && box.top < kHeight) {
            if (colourPixelStale_) {
                colourPixel_ = pixelOf(colour_);
                colourPixelStale_ = false;
            }
            forget(box.top, box.bottom);
            for (std::int32_t i = 0; i < points.count; ++i) {
                line(points.points[i], points.points[(i + 1) % points.count], colourPixel_);
            }
        }
    }
    std::free(points.points);
}

void Surface::copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) {
    if (!painting_ || bitmap == nullptr || bitmap->bitmap == nullptr) {
        return;
    }
    const qx::BitmapDescription& description = bitmap->description;
    // Cut the source to the picture, moving the destination along, then to the screen.
    const qx::Rect inside = source.intersect(qx::Rect(0, 0, description.width, description.height));
    const std::int64_t left = std::int64_t{x} + inside.x - source.x;
    const std::int64_t top = std::int64_t{y} + inside.y - source.y;
    const std::int64_t right = std::min<std::int64_t>(left + inside.width, kWidth);
    const std::int64_t bottom = std::min<std::int64_t>(top + inside.height, kHeight);
    const std::int64_t firstX = std::max<std::int64_t>(left, 0);
    const std::int64_t firstY = std::max<std::int64_t>(top, 0);
    if (inside.isEmpty() || firstX >= right || firstY >= bottom) {
        return;
    }
    const auto width = static_cast<std::size_t>(right - firstX);
    const auto height = static_cast<std::int32_t>(bottom - firstY);
    const auto sourceX = static_cast<std::int32_t>(inside.x + (firstX - left));
    const auto sourceY = static_cast<std::int32_t>(inside.y + (firstY - top));

    // Only whole rows of the factory's own pictures are remembered, and none while rows of
    // the screen are handed out.
    const VanillaBitmap* picture = nullptr;
    if (pictures_ != nullptr && firstX == 0 && width == kWidth && locks_.empty()) {
        picture = pictures_->bitmapOf(bitmap->object);
        if (picture != nullptr && static_cast<const qx::IBitmap*>(picture) != bitmap->bitmap) {
            picture = nullptr;
        }
    }
    const std::uint64_t editsBefore = picture != nullptr ? picture->edits() : 0;
    qx::RowBlock* rows = bitmap->bitmap->lockRows(sourceY, sourceY + height - 1);
    if (rows == nullptr) {
        return;
    }
    if (description.format == format_ && rows->bitsPerPixel == 16) {
        // Pictures already in the screen's format (most of them, once converted) are rows
        // of plain copies; rows that already hold them, as the lock just taken is the only
        // edit since they were copied, are left alone. The library's copy: rows this short,
        // inlined as a string move, start slowly on some processors.
        const std::uint64_t editsAfter = picture != nullptr ? picture->edits() : 0;
        const std::uint64_t serial = picture != nullptr ? picture->serial() : 0;
        if (picture != nullptr) {
            knownFirst_ = std::min(knownFirst_, static_cast<std::int32_t>(firstY));
            knownLast_ = std::max(knownLast_, static_cast<std::int32_t>(firstY) + height - 1);
        } else {
            forget(firstY, firstY + height - 1);
        }
        // Rows to copy that follow one another in both pictures, as whole screen-wide rows
        // of a screen-wide picture do, go in one move.
        const bool contiguous =
            width == static_cast<std::size_t>(kWidth) && rows->pitch == std::int64_t{kWidth} * 2;
        std::int32_t pending = 0; // rows waiting to be copied, ending before `row`
        const auto copyRows = [&](std::int32_t end, std::int32_t count) {
            const std::int32_t first = end - count;
            const std::uint8_t* in =
                rows->address + std::int64_t{first} * rows->pitch + std::int64_t{sourceX} * 2;
            std::memmove(&pixels_[static_cast<std::size_t>((firstY + first) * kWidth + firstX)], in,
                         width * 2 * static_cast<std::size_t>(count));
        };
        for (std::int32_t row = 0; row < height; ++row) {
            if (picture != nullptr) {
                RowOrigin& origin = origins_[static_cast<std::size_t>(firstY + row)];
                // Compared and written member by member: a record built first and compared
                // whole would be read back before its parts were stored, and wait for them.
                const bool there = origin.picture == serial && origin.edits == editsBefore &&
                                   origin.row == sourceY + row && origin.column == sourceX;
                origin.picture = serial;
                origin.edits = editsAfter;
                origin.row = sourceY + row;
                origin.column = sourceX;
                if (there) {
                    if (pending > 0) {
                        copyRows(row, pending);
                        pending = 0;
                    }
                    continue;
                }
            }
            ++pending;
            if (!contiguous) {
                copyRows(row + 1, pending);
                pending = 0;
            }
        }
        if (pending > 0) {
            copyRows(height, pending);
        }
        bitmap->bitmap->unlockRows(rows);
        return;
    }
    forget(firstY, firstY + height - 1);
    auto from = PixelLayout::parse(host_.atoms().nameOf(description.format));
    if (!from || from->bitsPerPixel() != rows->bitsPerPixel) {
        from = PixelLayout::standard(rows->bitsPerPixel);
    }
    if (from) {
        for (std::int32_t row = 0; row < height; ++row) {
            const std::uint8_t* in = rows->address + std::int64_t{row} * rows->pitch +
                                     std::int64_t{sourceX} * from->bytesPerPixel();
            auto* out = reinterpret_cast<std::uint8_t*>(
                &pixels_[static_cast<std::size_t>((firstY + row) * kWidth + firstX)]);
            PixelLayout::convert(in, *from, out, layout_, width);
        }
    }
    bitmap->bitmap->unlockRows(rows);
}

qx::RowBlock* Surface::lockRows(std::int32_t first, std::int32_t last) {
    if (!painting_ || first < 0 || first > last || last >= kHeight) {
        return nullptr;
    }
    forget(first, last);
    return locks_.acquire(reinterpret_cast<std::uint8_t*>(&pixels_[std::size_t(first) * kWidth]),
                          16, kPitch);
}

void Surface::unlockRows(qx::RowBlock* block) { locks_.release(block); }

qx::Canvas Surface::makeCanvas() {
    qx::Canvas canvas{};
    canvas.surface = this;
    canvas.format = format_;
    canvas.bitsPerPixel = 16;
    canvas.colour = qx::Colour(255, 255, 255);
    canvas.clip = qx::Rect(0, 0, kWidth, kHeight);
    canvas.origin = qx::Point(0, 0);
    canvas.font = nullptr;
    return canvas;
}

bool Surface::savePng(const std::string& path) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kWidth * kHeight * 3));
    for (std::size_t i = 0; i < pixels_.size(); ++i) {
        const Rgba colour = layout_.unpack(pixels_[i]);
        rgb[i * 3] = colour.red;
        rgb[i * 3 + 1] = colour.green;
        rgb[i * 3 + 2] = colour.blue;
    }
    std::string error;
    if (!writeRgbPng(path, kWidth, kHeight, rgb.data(), kWidth * 3, error)) {
        host_.report(qx::kLogError, "surface: cannot write %s: %s", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

void Surface::fill(qx::Colour colour) {
    forget(0, kHeight - 1);
    std::fill(pixels_.begin(), pixels_.end(), pixelOf(colour));
}

std::uint16_t Surface::pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight) {
        return 0;
    }
    return pixels_[static_cast<std::size_t>(y * kWidth + x)];
}

} // namespace qxhost
