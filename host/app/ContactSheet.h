// One picture with every screenshot of a run, half size, each above its name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/Surface.h"
#include "media/Typeface.h"

namespace qxhost::app {

struct Shot {
    std::string name;
    std::vector<std::uint8_t> rgb; // 640 x 480, R, G, B
};

// A 640 x 480 screen of "-rrrrrgggggbbbbb" words as 8-bit R, G, B rows.
std::vector<std::uint8_t> screenRgb(const std::vector<std::uint16_t>& pixels);

inline constexpr int kSheetColumns = 3;
inline constexpr int kThumbWidth = Surface::kWidth / 2;
inline constexpr int kThumbHeight = Surface::kHeight / 2;
inline constexpr int kLabelHeight = 24;
inline constexpr int kSheetMargin = 8;

struct SheetImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> rgb;
};

// Lays the shots out in rows of kSheetColumns; the names are drawn with the typeface (no
// names when it is unusable).
SheetImage makeContactSheet(const std::vector<Shot>& shots, Typeface& typeface);

} // namespace qxhost::app
