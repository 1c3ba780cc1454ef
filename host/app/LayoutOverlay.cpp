#include "app/LayoutOverlay.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "choice/ChoiceScreen.h"
#include "resource/ChoiceValues.h"
#include "session/ChoiceFolder.h"

namespace qxhost::app {

namespace {

constexpr std::int32_t kWidth = Surface::kWidth;
constexpr std::int32_t kHeight = Surface::kHeight;
constexpr std::int32_t kLabelSize = 12;

namespace screen = qx::screen;
constexpr OverlayBox kBarArea{screen::kBarLeft, screen::kBarRow, screen::kBarSize.width,
                              screen::kBarSize.height};

constexpr std::uint16_t rgb555(int r, int g, int b) {
    return static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
}
constexpr std::uint16_t kDoorColour = rgb555(0, 255, 255);
constexpr std::uint16_t kCentreColour = rgb555(255, 70, 255);
constexpr std::uint16_t kShadowColour = rgb555(0, 0, 0);
constexpr std::uint16_t kBarColour = rgb555(80, 255, 80);
constexpr std::uint16_t kButtonColour = rgb555(255, 150, 0);
constexpr std::uint16_t kPointerColour = rgb555(255, 255, 255);

// Width, height and frames of a picture as the scene finds it; false when it finds none.
bool pictureSize(ChoiceFolder& folder, const std::string& name, std::int32_t& width,
                 std::int32_t& height, std::int32_t& frames) {
    const ChoiceFolder::Picture picture = folder.picture(name.c_str());
    if (picture.status != ChoiceFolder::Picture::Status::Found) {
        return false;
    }
    width = picture.width;
    height = picture.height;
    frames = picture.frames;
    return true;
}

// A box at a place that may lie anywhere in 32 bits, brought near enough to the screen that
// drawing it needs no wider arithmetic; what is drawn on the screen does not change.
OverlayBox boxAt(std::int64_t x, std::int64_t y, std::int32_t width, std::int32_t height) {
    constexpr std::int64_t kFar = 1 << 20;
    return {static_cast<std::int32_t>(std::clamp(x, -kFar, kFar)),
            static_cast<std::int32_t>(std::clamp(y, -kFar, kFar)), width, height};
}

void plot(std::vector<std::uint16_t>& out, std::int32_t x, std::int32_t y, std::uint16_t colour) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
        out[static_cast<std::size_t>(y * kWidth + x)] = colour;
    }
}

void outline(std::vector<std::uint16_t>& out, const OverlayBox& box, std::uint16_t colour) {
    if (box.width <= 0 || box.height <= 0) {
        return;
    }
    const std::int32_t right = box.x + box.width - 1;
    const std::int32_t bottom = box.y + box.height - 1;
    for (std::int32_t x = box.x; x <= right; ++x) {
        plot(out, x, box.y, colour);
        plot(out, x, bottom, colour);
    }
    for (std::int32_t y = box.y; y <= bottom; ++y) {
        plot(out, box.x, y, colour);
        plot(out, right, y, colour);
    }
}

// A cross with a dark rim, so that it shows on light and dark pictures alike.
void cross(std::vector<std::uint16_t>& out, std::int32_t x, std::int32_t y, std::uint16_t colour) {
    for (std::int32_t d = -7; d <= 7; ++d) {
        for (std::int32_t side : {-1, 1}) {
            plot(out, x + d, y + side, kShadowColour);
            plot(out, x + side, y + d, kShadowColour);
        }
    }
    for (std::int32_t d = -6; d <= 6; ++d) {
        plot(out, x + d, y, colour);
        plot(out, x, y + d, colour);
    }
}

std::uint16_t blend(std::uint16_t under, std::uint16_t over, int cover) {
    std::uint16_t result = 0;
    for (int shift : {10, 5, 0}) {
        const int a = (under >> shift) & 31;
        const int b = (over >> shift) & 31;
        result =
            static_cast<std::uint16_t>(result | (((a * (255 - cover) + b * cover) / 255) << shift));
    }
    return result;
}

} // namespace

LayoutOverlay::LayoutOverlay(const std::string& dataPath, qx::ResourceDirectory* root,
                             Typeface& typeface)
    : typeface_(typeface) {
    ChoiceFolder choice(dataPath);
    std::int32_t w = 0, h = 0, frames = 1;
    while (roundCount_ < screen::kRounds) {
        char name[32];
        std::snprintf(name, sizeof name, "manche%2.2i.png", roundCount_ + 1);
        if (!pictureSize(choice, name, w, h, frames)) {
            break;
        }
        ++roundCount_;
    }
    std::int32_t qw = 0, qh = 0;
    const bool mark = pictureSize(choice, "qmark.png", qw, qh, frames);
    qx::ResourceEntry* folder = root != nullptr ? root->find("choice") : nullptr;
    const qx::ChoiceValues values(folder != nullptr ? root->openDirectory(folder) : nullptr);
    values.forEachDoor([&](const qx::DoorValues& values) {
        if (!values.setUp()) {
            return;
        }
        char name[32];
        std::snprintf(name, sizeof name, "pt%1.1i.png", static_cast<int>(values.number));
        const qx::Point at = values.position.point;
        const OverlayBox centre = boxAt(values.textCentre.point.x, values.textCentre.point.y, 0, 0);
        Door door{values.number, {0, 0, 0, 0}, centre.x, centre.y};
        if (pictureSize(choice, name, w, h, frames)) {
            door.box = boxAt(at.x, at.y, w, h);
        } else if (mark) {
            door.box = boxAt(std::int64_t{at.x} + qw / 2, std::int64_t{at.y} + qh / 2, qw, qh);
        }
        doors_.push_back(door);
    });
    if (pictureSize(choice, "playbutton.png", w, h, frames)) {
        buttons_.push_back({screen::kPlayButton.x, screen::kPlayButton.y, w, h / frames});
    }
    // A round button stands where its normal look fits on the screen; it is hit on its
    // second look.
    for (const auto& [base, at] : {std::pair{"bl", screen::kPreviousRoundButton},
                                   std::pair{"br", screen::kNextRoundButton}}) {
        std::int32_t w0 = 0, h0 = 0, w1 = 0, h1 = 0;
        if (roundCount_ < 2 || !pictureSize(choice, std::string(base) + "_1.png", w1, h1, frames)) {
            continue;
        }
        std::int32_t left = at.x;
        std::int32_t top = at.y;
        if (pictureSize(choice, std::string(base) + "_0.png", w0, h0, frames)) {
            left = left + w0 > kWidth ? kWidth - w0 : left;
            top = top + h0 > kHeight ? kHeight - h0 : top;
        }
        buttons_.push_back({left, top, w1, h1});
    }
}

void LayoutOverlay::observe(const LogLine& line) {
    if (line.format == "QXChoice::Manche %i selected\n" && line.values.size() == 1) {
        round_ = std::atoi(line.values[0].c_str()) - 1;
    }
}

bool LayoutOverlay::shown(int door) const {
    if (round_ < 0 || door > qx::kMappedDoors) {
        return roundCount_ < 2 || screen::kRoundDoors[0].contains(door);
    }
    return screen::kRoundDoors[round_ % screen::kRounds].contains(door);
}

void LayoutOverlay::label(std::vector<std::uint16_t>& out, const std::string& text, std::int32_t x,
                          std::int32_t y, std::uint16_t colour) {
    if (!typeface_.usable()) {
        return;
    }
    const LineMetrics metrics = typeface_.metrics(kLabelSize, 0);
    std::int32_t width = 0;
    for (unsigned char c : text) {
        if (const Glyph* glyph = typeface_.glyph(c, kLabelSize, 0)) {
            width += glyph->advance;
        }
    }
    x = std::clamp(x, 0, kWidth - width - 4);
    y = std::clamp(y, 0, kHeight - metrics.height - 2);
    // A darkened plate under the text keeps it readable on any picture.
    for (std::int32_t row = y; row < y + metrics.height + 2; ++row) {
        for (std::int32_t column = x; column < x + width + 4; ++column) {
            std::uint16_t& p = out[static_cast<std::size_t>(row * kWidth + column)];
            p = static_cast<std::uint16_t>((p >> 2) & 0x1CE7);
        }
    }
    std::int32_t pen = x + 2;
    const std::int32_t baseline = y + 1 + metrics.ascender;
    for (unsigned char c : text) {
        const Glyph* glyph = typeface_.glyph(c, kLabelSize, 0);
        if (glyph == nullptr) {
            continue;
        }
        for (std::int32_t row = 0; row < glyph->rows; ++row) {
            for (std::int32_t column = 0; column < glyph->width; ++column) {
                const std::int32_t px = pen + glyph->left + column;
                const std::int32_t py = baseline - glyph->top + row;
                const int cover =
                    glyph->coverage[static_cast<std::size_t>(row * glyph->width + column)];
                if (cover > 0 && px >= 0 && px < kWidth && py >= 0 && py < kHeight) {
                    std::uint16_t& p = out[static_cast<std::size_t>(py * kWidth + px)];
                    p = blend(p, colour, cover);
                }
            }
        }
        pen += glyph->advance;
    }
}

void LayoutOverlay::draw(const Surface& screen, std::int32_t pointerX, std::int32_t pointerY,
                         std::vector<std::uint16_t>& out) {
    out = screen.pixels();
    outline(out, kBarArea, kBarColour);
    label(out, "bar", kBarArea.x + 2, kBarArea.y + kBarArea.height - 18, kBarColour);
    for (const OverlayBox& box : buttons_) {
        outline(out, box, kButtonColour);
    }
    for (const Door& door : doors_) {
        if (!shown(door.number)) {
            continue;
        }
        outline(out, door.box, kDoorColour);
        label(out, std::to_string(door.number), door.box.x + 2, door.box.y + 2, kDoorColour);
        cross(out, door.textX, door.textY, kCentreColour);
    }
    label(out, std::to_string(pointerX) + ", " + std::to_string(pointerY), pointerX + 14,
          pointerY + 18, kPointerColour);
}

} // namespace qxhost::app
