// Sizes and colours of the demo choice folder. The hand-written values.txt places doors of
// this size, so the generator and the layout check read them from here.
#pragma once

#include <cstdint>

namespace demogen {

inline constexpr int kScreenWidth = 640;
inline constexpr int kScreenHeight = 480;

// The topic bar runs along y 420; the backgrounds darken from here down.
inline constexpr int kBandTop = 410;

inline constexpr int kDoorWidth = 96;
inline constexpr int kDoorHeight = 144;
inline constexpr int kDoorCount = 9;
// Doors 1-4 belong to the first round, 5-7 to the second, 8-9 to the third.
inline constexpr int kRoundOfDoor[kDoorCount] = {1, 1, 1, 1, 2, 2, 2, 3, 3};

// Doors stay between the play button's row and the topic bar.
inline constexpr int kDoorAreaTop = 40;
inline constexpr int kDoorAreaBottom = 400;

inline constexpr int kMarkWidth = 40;
inline constexpr int kMarkHeight = 60;
inline constexpr int kCursorWidth = 20;
inline constexpr int kCursorHeight = 28;
inline constexpr int kMaskWidth = 55;
inline constexpr int kMaskHeight = 80;
inline constexpr int kArrowWidth = 30;
inline constexpr int kArrowHeight = 40;
inline constexpr int kRoundButtonSize = 60;
inline constexpr int kPlayFrameWidth = 120;
inline constexpr int kPlayFrameHeight = 48;
inline constexpr int kPlayFrames = 3;

// Where the scene puts the controls that doors must not hide.
struct Box {
    int x, y, width, height;
    bool overlaps(const Box& o) const {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
    bool contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};
inline constexpr Box kPlayButtonBox{0, 0, kPlayFrameWidth, kPlayFrameHeight};
inline constexpr Box kPreviousRoundBox{30, 200, kRoundButtonSize, kRoundButtonSize};
inline constexpr Box kNextRoundBox{550, 200, kRoundButtonSize, kRoundButtonSize};

struct Rgb {
    std::uint8_t r, g, b;
};
// The bar's background: the bottom band of every round and the colour the masks fade into.
inline constexpr Rgb kBandColour{30, 26, 48};

inline constexpr int kSampleRate = 22050;

} // namespace demogen
