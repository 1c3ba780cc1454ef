#include "app/ScriptRunner.h"

#include <algorithm>

namespace qxhost::app {

namespace {

class Player {
public:
    Player(SceneSession& session, const ScriptHooks& hooks) : session_(session), hooks_(hooks) {}

    bool alive() const { return alive_; }

    void frame() {
        if (!alive_) {
            return;
        }
        session_.frame();
        if (hooks_.frameDone) {
            hooks_.frameDone();
        }
        if (!session_.running()) {
            session_.endScene();
            alive_ = false;
        }
    }

    void wait(std::int32_t milliseconds) {
        const std::int32_t end = session_.now() + milliseconds;
        while (alive_ && session_.now() < end) {
            frame();
        }
    }

    void move(std::int32_t x, std::int32_t y) {
        session_.moveTo(x, y);
        frame();
    }

    void execute(const ScriptCommand& command) {
        const auto& n = command.numbers;
        switch (command.op) {
        case ScriptOp::Wait: wait(n[0]); break;
        case ScriptOp::Move: move(n[0], n[1]); break;
        case ScriptOp::Press:
            session_.press();
            frame();
            break;
        case ScriptOp::Release:
            session_.release();
            frame();
            break;
        case ScriptOp::Click:
            move(n[0], n[1]);
            session_.press();
            frame();
            session_.release();
            frame();
            break;
        case ScriptOp::Drag: {
            move(n[0], n[1]);
            session_.press();
            frame();
            const std::int64_t steps = std::max<std::int64_t>(1, framesOf(command) - 3);
            for (std::int64_t i = 1; i <= steps && alive_; ++i) {
                move(static_cast<std::int32_t>(n[0] + (n[2] - n[0]) * i / steps),
                     static_cast<std::int32_t>(n[1] + (n[3] - n[1]) * i / steps));
            }
            session_.release();
            frame();
            break;
        }
        case ScriptOp::Shot:
            if (hooks_.shot) {
                hooks_.shot(command.name);
            }
            break;
        }
    }

private:
    SceneSession& session_;
    const ScriptHooks& hooks_;
    bool alive_ = true;
};

} // namespace

ScriptOutcome runScript(SceneSession& session, const Script& script, const ScriptHooks& hooks) {
    Player player(session, hooks);
    ScriptOutcome outcome;
    for (const ScriptCommand& command : script.commands) {
        if (!player.alive()) {
            if (command.op == ScriptOp::Shot) {
                player.execute(command);
            } else {
                ++outcome.skippedCommands;
            }
            continue;
        }
        player.execute(command);
        if (!player.alive()) {
            outcome.stoppedAtLine = command.line;
        }
    }
    return outcome;
}

void finishClosing(SceneSession& session, std::int32_t limitMs, const ScriptHooks& hooks) {
    Player player(session, hooks);
    if (session.scene() != nullptr) {
        player.wait(limitMs);
    }
}

} // namespace qxhost::app
