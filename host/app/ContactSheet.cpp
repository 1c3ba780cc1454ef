#include "app/ContactSheet.h"

#include <algorithm>

#include "media/PixelLayout.h"

namespace qxhost::app {

namespace {

constexpr std::uint8_t kBackground = 40;
constexpr std::int32_t kNameSize = 15;

void drawName(SheetImage& sheet, Typeface& typeface, const std::string& name, int left, int top) {
    if (!typeface.usable()) {
        return;
    }
    const LineMetrics metrics = typeface.metrics(kNameSize, 0);
    const int baseline = top + (kLabelHeight - metrics.height) / 2 + metrics.ascender;
    int pen = left;
    for (unsigned char c : name) {
        const Glyph* glyph = typeface.glyph(c, kNameSize, 0);
        if (glyph == nullptr) {
            continue;
        }
        for (int row = 0; row < glyph->rows; ++row) {
            const int y = baseline - glyph->top + row;
            for (int column = 0; column < glyph->width; ++column) {
                const int x = pen + glyph->left + column;
                if (x < left || x >= left + kThumbWidth || y < top || y >= top + kLabelHeight) {
                    continue;
                }
                const int cover =
                    glyph->coverage[static_cast<std::size_t>(row * glyph->width + column)];
                std::uint8_t* pixel =
                    &sheet.rgb[static_cast<std::size_t>((y * sheet.width + x) * 3)];
                for (int channel = 0; channel < 3; ++channel) {
                    pixel[channel] = static_cast<std::uint8_t>(
                        (pixel[channel] * (255 - cover) + 255 * cover) / 255);
                }
            }
        }
        pen += glyph->advance;
    }
    typeface.trim();
}

// Averages each 2 x 2 block of the screen into one pixel of the thumbnail.
void drawThumb(SheetImage& sheet, const Shot& shot, int left, int top) {
    constexpr int w = Surface::kWidth;
    for (int y = 0; y < kThumbHeight; ++y) {
        for (int x = 0; x < kThumbWidth; ++x) {
            std::uint8_t* out =
                &sheet.rgb[static_cast<std::size_t>(((top + y) * sheet.width + left + x) * 3)];
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        sum += shot.rgb[static_cast<std::size_t>(
                            ((2 * y + dy) * w + 2 * x + dx) * 3 + channel)];
                    }
                }
                out[channel] = static_cast<std::uint8_t>(sum / 4);
            }
        }
    }
}

} // namespace

std::vector<std::uint8_t> screenRgb(const std::vector<std::uint16_t>& pixels) {
    const auto layout = PixelLayout::parse(kScreenFormat);
    std::vector<std::uint8_t> rgb(pixels.size() * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const Rgba colour = layout->unpack(pixels[i]);
        rgb[i * 3] = colour.red;
        rgb[i * 3 + 1] = colour.green;
        rgb[i * 3 + 2] = colour.blue;
    }
    return rgb;
}

SheetImage makeContactSheet(const std::vector<Shot>& shots, Typeface& typeface) {
    SheetImage sheet;
    const int count = static_cast<int>(shots.size());
    const int columns = std::clamp(count, 1, kSheetColumns);
    const int rows = std::max(1, (count + columns - 1) / columns);
    const int cellWidth = kThumbWidth + kSheetMargin;
    const int cellHeight = kThumbHeight + kLabelHeight + kSheetMargin;
    sheet.width = kSheetMargin + columns * cellWidth;
    sheet.height = kSheetMargin + rows * cellHeight;
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width * sheet.height * 3), kBackground);
    for (int i = 0; i < count; ++i) {
        const int left = kSheetMargin + (i % columns) * cellWidth;
        const int top = kSheetMargin + (i / columns) * cellHeight;
        drawThumb(sheet, shots[static_cast<std::size_t>(i)], left, top);
        drawName(sheet, typeface, shots[static_cast<std::size_t>(i)].name, left + 2,
                 top + kThumbHeight);
    }
    return sheet;
}

} // namespace qxhost::app
