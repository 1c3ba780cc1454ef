// The choice screen's fixed layout, named once: where each control stands, how the topic bar
// keeps its row, which doors each round shows, and how long the fades and the topic buttons'
// moves take. The scene, the demo-data generator, the host's tools and the tests read them
// here. Door n's topic goes to game-state word kFirstDoorWord (qx/scene.h) + its map entry.
#pragma once

#include <cstdint>

#include "qx/geometry.h"

namespace qx::screen {

inline constexpr std::int32_t kWidth = 640;
inline constexpr std::int32_t kHeight = 480;

// Top-left corners of the controls and masks.
inline constexpr Point kPlayButton{0, 0};
inline constexpr Point kLeftArrow{0, 430};
inline constexpr Point kRightArrow{610, 430};
inline constexpr Point kPreviousRoundButton{30, 200};
inline constexpr Point kNextRoundButton{550, 200};
inline constexpr Point kLeftMask{0, 400};
inline constexpr Point kRightMask{585, 400};

// The ids the buttons report through buttonClicked: the arrows to the bar, the rest to the scene.
inline constexpr std::int32_t kLeftArrowId = 0;
inline constexpr std::int32_t kRightArrowId = 1;
inline constexpr std::int32_t kPlayId = 2;
inline constexpr std::int32_t kPreviousRoundId = 16;
inline constexpr std::int32_t kNextRoundId = 17;

// The topic bar's rectangle; its titles stand on kBarRow, kBarGap apart, the first at kBarLeft.
inline constexpr std::int32_t kBarLeft = 30;
inline constexpr std::int32_t kBarRow = 420;
inline constexpr Size kBarSize{560, 50};
inline constexpr std::int32_t kBarGap = 30;
// A title counts as visible when its left edge lies strictly between these two columns.
inline constexpr std::int32_t kBarVisibleAfter = 10;
inline constexpr std::int32_t kBarVisibleBefore = 630;
// A row no wider than kBarCentredExtent is centred on kBarMiddle instead of wrapped around.
inline constexpr std::int32_t kBarCentredExtent = 620;
inline constexpr std::int32_t kBarMiddle = 320;
// A title coming back left of kRecentreBelow or right of kRecentreAbove slides the bar so
// that it stands at kRecentreAt.
inline constexpr std::int32_t kRecentreBelow = 30;
inline constexpr std::int32_t kRecentreAbove = 550;
inline constexpr std::int32_t kRecentreAt = 220;
// A title at rest in the bar is clipped to these columns, from kBarClipAbove above its row down.
inline constexpr std::int32_t kBarClipLeft = 28;
inline constexpr std::int32_t kBarClipRight = 612;
inline constexpr std::int32_t kBarClipAbove = 10;
constexpr Rect barClip(std::int32_t row) {
    return Rect::fromCorners(kBarClipLeft, saturated(std::int64_t{row} - kBarClipAbove),
                             kBarClipRight, kHeight);
}

// The round index cycles over 0, 1, 2 whatever the data holds, as the contract wants.
inline constexpr std::int32_t kRounds = 3;
// Doors first to last (numbers from 1) show in a round; every other door is hidden.
struct DoorRange {
    std::int32_t first;
    std::int32_t last;
    constexpr bool contains(std::int32_t door) const { return door >= first && door <= last; }
};
inline constexpr DoorRange kRoundDoors[kRounds] = {{1, 4}, {5, 7}, {8, 9}};
// The round (from 0) that shows door n, or -1 when no round does.
constexpr std::int32_t roundOf(std::int32_t door) {
    for (std::int32_t round = 0; round < kRounds; ++round) {
        if (kRoundDoors[round].contains(door)) {
            return round;
        }
    }
    return -1;
}

// The fades darken to kFadeDark; the opening one waits kOpeningDelayMs after set-up, and the
// closing one ends the scene at kClosedAt, just short of dark.
inline constexpr double kFadeDark = 0.6;
inline constexpr std::int32_t kFadeMs = 400;
inline constexpr std::int32_t kOpeningDelayMs = 1200;
inline constexpr double kClosedAt = 0.599;

// The topic buttons' moves: shrinking out of the bar and growing back, sliding (the arrows,
// or a button coming into view), a title given back, and a title returning to its button.
inline constexpr std::int32_t kShrinkMs = 700;
inline constexpr std::int32_t kSlideMs = 400;
inline constexpr std::int32_t kGiveBackMs = 450;
inline constexpr std::int32_t kReturnMs = 600;

} // namespace qx::screen
