#include "app/ScriptRecorder.h"

namespace qxhost::app {

namespace {

// Idle stretches longer than this are cut at a frame into several waits, well inside the
// longest step a script line may ask for.
constexpr std::int32_t kLongestWait = 60 * 1000;

} // namespace

void ScriptRecorder::endWait() {
    if (idle_) {
        // "wait MS" runs frames while the clock is short of start + MS; between frame
        // times that lands exactly on the frame recorded last.
        commands_.push_back("wait " + std::to_string(lastTime_ - idleSince_));
        idle_ = false;
    }
}

void ScriptRecorder::frame(const PointerInput* input, std::int32_t timeAfter) {
    ++frames_;
    if (input != nullptr) {
        endWait();
        switch (input->op) {
        case ScriptOp::Move:
            commands_.push_back("move " + std::to_string(input->x) + " " +
                                std::to_string(input->y));
            break;
        case ScriptOp::Press: commands_.emplace_back("press"); break;
        default: commands_.emplace_back("release"); break;
        }
    } else if (!idle_) {
        idle_ = true;
        idleSince_ = lastTime_;
    }
    lastTime_ = timeAfter;
    if (idle_ && lastTime_ - idleSince_ >= kLongestWait) {
        endWait();
    }
}

std::string ScriptRecorder::script(const std::vector<std::string>& header) const {
    std::string text;
    for (const std::string& line : header) {
        text += "# " + line + "\n";
    }
    for (const std::string& command : commands_) {
        text += command + "\n";
    }
    if (idle_) {
        text += "wait " + std::to_string(lastTime_ - idleSince_) + "\n";
    }
    return text + "shot " + kFinalShot + "\n";
}

} // namespace qxhost::app
