#include "app/ContactSheet.h"

#include <algorithm>

#include "media/PixelLayout.h"
#include "media/PngCodec.h"

namespace qxhost::app {

namespace {

constexpr std::uint8_t kBackground = 40;
constexpr std::int32_t kNameSize = 15;

struct SheetImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;
};

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
std::vector<std::uint8_t> thumbnail(const std::vector<std::uint8_t>& rgb) {
    constexpr int w = Surface::kWidth;
    std::vector<std::uint8_t> thumb(static_cast<std::size_t>(kThumbWidth * kThumbHeight * 3));
    for (int y = 0; y < kThumbHeight; ++y) {
        for (int x = 0; x < kThumbWidth; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy) {
                    for (int dx = 0; dx < 2; ++dx) {
                        sum += rgb[static_cast<std::size_t>(((2 * y + dy) * w + 2 * x + dx) * 3 +
                                                            channel)];
                    }
                }
                thumb[static_cast<std::size_t>((y * kThumbWidth + x) * 3 + channel)] =
                    static_cast<std::uint8_t>(sum / 4);
            }
        }
    }
    return thumb;
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

std::string sheetFileName(int n) {
    return n == 1 ? "contact-sheet.png" : "contact-sheet-" + std::to_string(n) + ".png";
}

bool isSheetName(const std::string& stem) {
    constexpr std::string_view kSheet = "contact-sheet";
    if (stem.compare(0, kSheet.size(), kSheet) != 0) {
        return false;
    }
    if (stem.size() == kSheet.size()) {
        return true;
    }
    return stem.size() > kSheet.size() + 1 && stem[kSheet.size()] == '-' &&
           stem.find_first_not_of("0123456789", kSheet.size() + 1) == std::string::npos;
}

ContactSheets::ContactSheets(std::filesystem::path folder, Typeface& typeface)
    : folder_(std::move(folder)), typeface_(typeface) {}

void ContactSheets::add(const std::string& name, const std::vector<std::uint8_t>& rgb) {
    thumbs_.push_back({name, thumbnail(rgb)});
    if (thumbs_.size() == kSheetShots) {
        write();
    }
}

void ContactSheets::finish() {
    if (!thumbs_.empty()) {
        write();
    }
}

void ContactSheets::write() {
    SheetImage sheet;
    const int count = static_cast<int>(thumbs_.size());
    const int columns = std::clamp(count, 1, kSheetColumns);
    const int rows = std::max(1, (count + columns - 1) / columns);
    const int cellWidth = kThumbWidth + kSheetMargin;
    const int cellHeight = kThumbHeight + kLabelHeight + kSheetMargin;
    sheet.width = kSheetMargin + columns * cellWidth;
    sheet.height = kSheetMargin + rows * cellHeight;
    sheet.rgb.assign(static_cast<std::size_t>(sheet.width) *
                         static_cast<std::size_t>(sheet.height) * 3,
                     kBackground);
    for (int i = 0; i < count; ++i) {
        const int left = kSheetMargin + (i % columns) * cellWidth;
        const int top = kSheetMargin + (i / columns) * cellHeight;
        const Thumb& thumb = thumbs_[static_cast<std::size_t>(i)];
        for (int y = 0; y < kThumbHeight; ++y) {
            std::copy_n(&thumb.rgb[static_cast<std::size_t>(y * kThumbWidth * 3)], kThumbWidth * 3,
                        &sheet.rgb[(static_cast<std::size_t>(top + y) *
                                        static_cast<std::size_t>(sheet.width) +
                                    static_cast<std::size_t>(left)) *
                                   3]);
        }
        drawName(sheet, typeface_, thumb.name, left + 2, top + kThumbHeight);
    }
    thumbs_.clear();
    const std::string file = sheetFileName(++sheets_);
    const std::string path = (folder_ / file).string();
    std::string error;
    if (writeRgbPng(path, sheet.width, sheet.height, sheet.rgb.data(), sheet.width * 3, error)) {
        written_.push_back(file);
    } else {
        failures_.push_back("cannot write " + path + ": " + error);
    }
}

} // namespace qxhost::app
