// Turns a played session into a "qxhost run" script that replays it frame for frame. Play
// gives the scene at most one pointer input a frame, as run does, so the script is that
// input per frame ("move", "press", "release") with the idle frames between as waits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/Script.h"

namespace qxhost::app {

// A pointer input handed to the scene just before a frame.
struct PointerInput {
    ScriptOp op; // Move, Press or Release
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// The shot that ends every recorded script: the screen the session ended on.
inline constexpr char kFinalShot[] = "final";

class ScriptRecorder {
public:
    // startTime: the clock when the scene was set up.
    explicit ScriptRecorder(std::int32_t startTime) : lastTime_(startTime) {}

    // One frame: the input given before it (null for none) and the clock after it.
    void frame(const PointerInput* input, std::int32_t timeAfter);
    // The script: the header lines as comments, the commands, then "shot final".
    std::string script(const std::vector<std::string>& header) const;
    std::int64_t frames() const { return frames_; }

private:
    void endWait();

    std::vector<std::string> commands_;
    std::int32_t lastTime_;
    std::int32_t idleSince_ = 0;
    bool idle_ = false;
    std::int64_t frames_ = 0;
};

} // namespace qxhost::app
