#include "support/FakeSurface.h"

#include <cstring>

#include "services/HostServices.h"

namespace qxtest {

FakeSurface::FakeSurface() : memory(static_cast<std::size_t>(kPitch) * kHeight, 0) {}

void FakeSurface::copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) {
    copies.push_back({x, y, bitmap, source});
}

qx::RowBlock* FakeSurface::lockRows(std::int32_t first, std::int32_t last) {
    lockCalls.push_back({first, last});
    if (first < 0 || last >= kHeight || first > last) {
        return nullptr;
    }
    locks.push_back({row(first), lockedBits, kPitch});
    return &locks.back();
}

void FakeSurface::unlockRows(qx::RowBlock* block) {
    unlockedAddresses.push_back(block->address);
    locks.remove_if([block](const qx::RowBlock& b) { return &b == block; });
}

std::uint16_t FakeSurface::pixel(std::int32_t x, std::int32_t y) const {
    std::uint16_t v;
    std::memcpy(&v, memory.data() + static_cast<std::size_t>(y) * kPitch + x * 2, 2);
    return v;
}

void FakeSurface::setPixel(std::int32_t x, std::int32_t y, std::uint16_t value) {
    std::memcpy(row(y) + x * 2, &value, 2);
}

qx::Canvas FakeSurface::canvas() {
    qx::Canvas c{};
    c.surface = this;
    c.format = qx::atomOf("-rrrrrgggggbbbbb");
    c.bitsPerPixel = 16;
    c.clip = qx::Rect(0, 0, kWidth, kHeight);
    return c;
}

std::int32_t FakeRenderer::measure(const char* text) {
    const double s = scale != nullptr ? scale->value : 1.0;
    return static_cast<std::int32_t>(static_cast<double>(std::strlen(text)) * 10.0 * s);
}

void FakeRenderer::draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) {
    lines.push_back(
        {x, y, text, canvas->colour, canvas->font != nullptr ? canvas->font->style() : -1});
}

FakeFont::FakeFont() {
    renderer.scale = &primary;
    font.descriptionWords[qx::kFontLineHeight] = 20;
    font.descriptionWords[qx::kFontLineAdvance] = 1000;
    font.renderer = &renderer;
    font.styler = &styler;
    font.primaryScaleInterface = &primary;
    font.secondaryScaleInterface = &secondary;
}

} // namespace qxtest
