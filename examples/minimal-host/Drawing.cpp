#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "MinimalHost.h"

namespace minimal {

std::uint16_t packColour(const qx::Colour& colour) {
    return static_cast<std::uint16_t>(((colour.red >> 3) << 10) | ((colour.green >> 3) << 5) |
                                      (colour.blue >> 3));
}

namespace {

// The pixels of one picture, 8 or 16 bits each, read from the picture's stream.
class MemoryBitmap final : public qx::IBitmap {
public:
    explicit MemoryBitmap(const qx::BitmapDescription& description)
        : height_(description.height), bitsPerPixel_(description.bitsPerPixel),
          pitch_(description.width * bitsPerPixel_ / 8),
          bytes_(static_cast<std::size_t>(pitch_ * height_)) {
        table.addInterface(qx::kIBitmapName, static_cast<qx::IBitmap*>(this));
    }
    std::int32_t load(qx::IRead* stream) override {
        const auto size = static_cast<std::int32_t>(bytes_.size());
        return stream != nullptr && stream->read(bytes_.data(), size) == size ? 1 : 0;
    }
    std::int32_t unused2() override { return 0; }
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override {
        if (first < 0 || last >= height_ || first > last) {
            return nullptr;
        }
        return new qx::RowBlock{bytes_.data() + first * pitch_, bitsPerPixel_, pitch_};
    }
    void unlockRows(qx::RowBlock* block) override { delete block; }

    qx::InterfaceTable table;

private:
    std::int32_t height_;
    std::int32_t bitsPerPixel_;
    std::int32_t pitch_;
    std::vector<std::uint8_t> bytes_;
};

} // namespace

BitmapFactory::BitmapFactory() {
    table_.addInterface(qx::kIBitmapFactoryName, static_cast<qx::IBitmapFactory*>(this));
}

qx::InterfaceTable* BitmapFactory::create(qx::BitmapDescription* description) {
    if ((description->bitsPerPixel != 8 && description->bitsPerPixel != 16) ||
        description->width <= 0 || description->height <= 0) {
        return nullptr;
    }
    return &(new MemoryBitmap(*description))->table;
}

void BitmapFactory::destroy(qx::InterfaceTable* object) {
    delete static_cast<MemoryBitmap*>(
        static_cast<qx::IBitmap*>(object->getInterface(qx::kIBitmapName)));
}

// The points were allocated by the module with std::malloc and are the surface's now. The
// scene draws no polygons; a host that does would fill them here.
void Surface::polygon(qx::PointArray points) { std::free(points.points); }

// Copies the source rectangle of a picture in the screen's format, clipped to the screen.
void Surface::copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) {
    const qx::Rect target = qx::Rect(x, y, source.width, source.height)
                                .intersect(qx::Rect(0, 0, kScreenWidth, kScreenHeight));
    if (target.isEmpty() || bitmap->bitmap == nullptr || bitmap->description.bitsPerPixel != 16) {
        return;
    }
    const std::int32_t sx = source.x + target.x - x;
    const std::int32_t sy = source.y + target.y - y;
    qx::RowBlock* rows = bitmap->bitmap->lockRows(sy, sy + target.height - 1);
    if (rows == nullptr) {
        return;
    }
    for (std::int32_t row = 0; row < target.height; ++row) {
        std::memcpy(&pixels_[static_cast<std::size_t>((target.y + row) * kScreenWidth + target.x)],
                    rows->address + row * rows->pitch + sx * 2,
                    static_cast<std::size_t>(target.width) * 2);
    }
    bitmap->bitmap->unlockRows(rows);
}

qx::RowBlock* Surface::lockRows(std::int32_t first, std::int32_t last) {
    if (first < 0 || last >= kScreenHeight || first > last) {
        return nullptr;
    }
    auto* rows =
        reinterpret_cast<std::uint8_t*>(&pixels_[static_cast<std::size_t>(first * kScreenWidth)]);
    return new qx::RowBlock{rows, 16, kScreenWidth * 2};
}

std::int32_t FixedWidthText::measure(const char* text) {
    return static_cast<std::int32_t>(std::strlen(text)) * 8;
}

// One 6 by 12 cell per visible character, in the canvas colour, inside the canvas's clip.
void FixedWidthText::draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    const std::uint16_t pixel = packColour(canvas->colour);
    const qx::Rect clip = canvas->clip.intersect(qx::Rect(0, 0, kScreenWidth, kScreenHeight));
    for (std::int32_t i = 0; text[i] != '\0'; ++i) {
        if (text[i] == ' ') {
            continue;
        }
        const qx::Rect cell =
            qx::Rect(canvas->origin.x + x + i * 8 + 1, canvas->origin.y + y + 2, 6, 12)
                .intersect(clip);
        if (cell.isEmpty()) {
            continue;
        }
        qx::RowBlock* rows = canvas->surface->lockRows(cell.y, cell.y + cell.height - 1);
        for (std::int32_t row = 0; rows != nullptr && row < cell.height; ++row) {
            auto* line = reinterpret_cast<std::uint16_t*>(rows->address + row * rows->pitch);
            std::fill(line + cell.x, line + cell.x + cell.width, pixel);
        }
        canvas->surface->unlockRows(rows);
    }
}

Producer::Producer() {
    table_.addInterface(qx::kIQXProducerName, static_cast<qx::IQXProducer*>(this));
    font_.descriptionWords[qx::kFontLineHeight] = 16;
    font_.descriptionWords[qx::kFontLineAdvance] = 1000;
    font_.renderer = &text_;
    const char* topics[][2] = {
        {"hist", "History"}, {"film", "Cinema"}, {"sprt", "Sport"}, {"musc", "Music"}};
    for (const auto& topic : topics) {
        qx::TopicItem item{};
        item.title = host().identifierOf(topic[1]);
        std::strncpy(item.code, topic[0], sizeof item.code - 1);
        topics_.push_back(item);
    }
}

qx::Font* Producer::fontFor(const char* fontName) {
    return std::strcmp(fontName, "AlternateFont") == 0 ? &font_ : nullptr;
}

qx::TopicItem* Producer::itemAt(std::int32_t index) {
    return index >= 0 && index < static_cast<std::int32_t>(topics_.size())
               ? &topics_[static_cast<std::size_t>(index)]
               : nullptr;
}

const qx::TopicItem* Producer::topicAt(qx::Handle word) const {
    for (const qx::TopicItem& item : topics_) {
        if (reinterpret_cast<qx::Handle>(&item) == word) {
            return &item;
        }
    }
    return nullptr;
}

} // namespace minimal
