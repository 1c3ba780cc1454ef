// A font as scenes use it: the qx::Font record with its renderer, styler and two scales.
// Text is measured and drawn at the base pixel size times both scales; style 1
// (highlighted) draws bold, any other style regular.
#pragma once

#include <cstdint>

#include "media/Typeface.h"
#include "qx/canvas.h"
#include "runtime/Host.h"

namespace qxhost {

class HostFont final : public qx::ITextRenderer, public qx::IFontStyler {
public:
    HostFont(Host& host, Typeface& typeface, std::int32_t pixelSize);
    HostFont(const HostFont&) = delete;
    HostFont& operator=(const HostFont&) = delete;
    ~HostFont() = default;

    void unused1() override {}
    // The widest line's width in pixels.
    std::int32_t measure(const char* text) override;
    // Blends the line's glyphs in the canvas's colour into its surface, from the top-left
    // corner (x, y) plus the canvas origin, inside the canvas clip.
    void draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) override;
    // Answers the previous style.
    std::int32_t setStyle(std::int32_t style) override;

    qx::Font* record() { return &record_; }
    qx::InterfaceTable* table() { return &table_; }
    // The pixel size that the scales give now.
    std::int32_t pixelSize() const;

private:
    class Scale final : public qx::IFontScale {
    public:
        void set(double scale) override { value = scale; }
        double get() override { return value; }
        double value = 1.0;
    };

    qx::InterfaceTable table_;
    Host& host_;
    Typeface& typeface_;
    std::int32_t baseSize_;
    std::int32_t style_ = 0;
    Scale primary_;
    Scale secondary_;
    qx::Font record_{};
};

} // namespace qxhost
