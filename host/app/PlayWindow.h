// The scene in an SDL2 window: the real mouse, mapped from the window to the 640 x 480
// screen, the screen scaled up by a whole factor, and sound through SDL's audio when a
// device opens. The clock moves by 1/60 s a frame, as in "qxhost run", and the scene gets
// at most one pointer input a frame: the window's events are queued, moves that follow each
// other merge into the last position, and each frame takes the next input. A recorded
// session therefore replays with "qxhost run" to the same frames.
#pragma once

#include <SDL.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "app/FolderReload.h"
#include "app/LayoutOverlay.h"
#include "app/ScriptRecorder.h"
#include "session/SceneSession.h"

namespace qxhost::app {

struct PlayOptions {
    std::string dataPath;
    std::string modulePath;
    int scale = 1; // 1 to 4
    bool record = false;
    bool overlay = false; // the layout drawn over the screen (LayoutOverlay)
    // Set the scene up again when the data folder changes and checks clean (FolderReload),
    // saying so on watchOutput; checkProgram is the qxhost that checks (empty: this one).
    bool watch = false;
    std::ostream* watchOutput = nullptr;
    std::string checkProgram;
};

class PlayWindow {
public:
    explicit PlayWindow(PlayOptions options);
    PlayWindow(const PlayWindow&) = delete;
    PlayWindow& operator=(const PlayWindow&) = delete;
    ~PlayWindow();

    // Opens the window and sets the scene up; false with one line in error().
    bool open();
    const std::string& error() const { return error_; }

    // Hands the pending window events to the scene, runs one frame and shows it. Answers
    // false once the scene has stopped or the window was closed.
    bool step();
    bool closedByUser() const { return closed_; }

    // With PlayOptions::record: writes the session so far as a run script to scriptPath and
    // the screen as a PNG to picturePath; false with one line in error().
    bool saveRecording(const std::string& scriptPath, const std::string& picturePath);
    std::int64_t recordedFrames() const { return recorder_ ? recorder_->frames() : 0; }
    // With PlayOptions::watch: a change waits for its check or the check runs.
    bool reloadPending() const { return reload_ && reload_->busy(); }
    int reloads() const { return reloads_; }
    const LayoutOverlay* overlay() const { return overlay_ ? &*overlay_ : nullptr; }

    SceneSession& session() { return *session_; }
    SDL_Window* window() { return window_; }

private:
    void handle(const SDL_Event& event);
    void queue(ScriptOp op, std::int32_t x, std::int32_t y);
    void apply(const PointerInput& input);
    void makeOverlay();
    void setUpAgain();
    void toScreen(std::int32_t windowX, std::int32_t windowY, std::int32_t& x, std::int32_t& y);

    PlayOptions options_;
    std::string error_;
    std::unique_ptr<SceneSession> session_;
    bool videoStarted_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    bool closed_ = false;
    std::deque<PointerInput> inputs_;
    std::optional<ScriptRecorder> recorder_;
    std::optional<LayoutOverlay> overlay_;
    std::vector<std::uint16_t> overlaid_;
    std::unique_ptr<FolderReload> reload_;
    int reloads_ = 0;
};

} // namespace qxhost::app
