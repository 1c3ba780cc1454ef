// The scripts of "qxhost run": one command a line, '#' starts a comment.
//   wait MS                  let MS milliseconds of frames pass
//   move X Y                 move the pointer
//   press / release          the mouse button, where the pointer is
//   click X Y                move there, press, release
//   drag X1 Y1 X2 Y2 MS      press at the first point, move to the second over MS, release
//   shot NAME                save the screen as NAME.png
// Every command that sends an event is followed by one frame, as a real host would draw
// between two inputs.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace qxhost::app {

enum class ScriptOp { Wait, Move, Press, Release, Click, Drag, Shot };

struct ScriptCommand {
    ScriptOp op;
    int line; // from 1
    std::array<std::int32_t, 5> numbers{};
    std::string name; // of a shot
};

struct Script {
    std::vector<ScriptCommand> commands;
    // "FILE:LINE: what is wrong", one per faulty line; a script with errors is not run.
    std::vector<std::string> errors;
};

// Longest wait or drag a line may ask for, to keep a typo from running for hours.
inline constexpr std::int32_t kLongestStep = 10 * 60 * 1000;

Script parseScript(std::istream& in, const std::string& fileName);

// Frames a command takes at 60 frames a second.
std::int64_t framesOf(const ScriptCommand& command);

} // namespace qxhost::app
