// Plays a parsed script on a scene session, one frame after each input.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/Script.h"
#include "session/SceneSession.h"

namespace qxhost::app {

struct ScriptHooks {
    std::function<void(const std::string& name)> shot;
    std::function<void()> frameDone;
};

struct ScriptOutcome {
    // Line of the command during which the scene stopped running, or 0.
    int stoppedAtLine = 0;
    // Commands after the stop, which found no scene to drive.
    int skippedCommands = 0;
};

// When the scene stops, it is torn down as a host would, and the remaining commands are
// skipped except shots, which save the last screen.
ScriptOutcome runScript(SceneSession& session, const Script& script, const ScriptHooks& hooks);

// After the script: when the scene is closing, frames until it stops, for at most limitMs.
void finishClosing(SceneSession& session, std::int32_t limitMs, const ScriptHooks& hooks);

} // namespace qxhost::app
