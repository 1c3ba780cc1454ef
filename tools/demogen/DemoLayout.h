// Sizes and colours of the demo choice folder. The hand-written values.txt places doors of
// this size, so the generator and the layout check read them from here; where the scene puts
// things comes from its own screen layout.
#pragma once

#include <cstdint>

#include "choice/ChoiceScreen.h"

namespace demogen {

namespace screen = qx::screen;

inline constexpr int kScreenWidth = screen::kWidth;
inline constexpr int kScreenHeight = screen::kHeight;

// The backgrounds darken from where a title in the bar starts to draw down.
inline constexpr int kBandTop = screen::kBarRow - screen::kBarClipAbove;

inline constexpr int kDoorWidth = 96;
inline constexpr int kDoorHeight = 144;
inline constexpr int kDoorCount = 9;

// Doors stay between the play button's row and the masks at the top of the topic bar.
inline constexpr int kDoorAreaTop = 40;
inline constexpr int kDoorAreaBottom = screen::kLeftMask.y;

inline constexpr int kMarkWidth = 40;
inline constexpr int kMarkHeight = 60;
inline constexpr int kCursorWidth = 20;
inline constexpr int kCursorHeight = 28;
// The masks and the right arrow reach the screen's right edge.
inline constexpr int kMaskWidth = screen::kWidth - screen::kRightMask.x;
inline constexpr int kMaskHeight = screen::kHeight - screen::kLeftMask.y;
inline constexpr int kArrowWidth = screen::kWidth - screen::kRightArrow.x;
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
inline constexpr Box kPlayButtonBox{screen::kPlayButton.x, screen::kPlayButton.y, kPlayFrameWidth,
                                    kPlayFrameHeight};
inline constexpr Box kPreviousRoundBox{screen::kPreviousRoundButton.x,
                                       screen::kPreviousRoundButton.y, kRoundButtonSize,
                                       kRoundButtonSize};
inline constexpr Box kNextRoundBox{screen::kNextRoundButton.x, screen::kNextRoundButton.y,
                                   kRoundButtonSize, kRoundButtonSize};

struct Rgb {
    std::uint8_t r, g, b;
};
// The bar's background: the bottom band of every round and the colour the masks fade into.
inline constexpr Rgb kBandColour{30, 26, 48};

inline constexpr int kSampleRate = 22050;

} // namespace demogen
