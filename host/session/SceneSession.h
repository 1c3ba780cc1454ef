// session/: a scene run as the game runs it, and the "choice" folder read the way the scene
// reads it. Includes producer/, media/, archives/, runtime/, the contract and the support
// layer (services/, and resource/ for the scene's own reader of the layout values).
//
// One choice scene as the game would run it, hosted by the reference host: the module is
// loaded through its four exports, the data folder becomes the resource root (the scene reads
// its "choice" folder), the producer serves the topics file, and the screen is the host's
// 640 x 480 surface. Headless sessions run on a manual clock that each frame advances by
// 1/60 s; interactive ones follow real time.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "media/Media.h"
#include "producer/Producer.h"
#include "qx/scene.h"
#include "runtime/Host.h"
#include "runtime/ModuleLoader.h"
#include "session/ChoiceLayout.h"

namespace qxhost {

struct SessionOptions {
    std::string modulePath; // the .kpx; empty: qxchoice.kpx beside the running program
    std::string dataPath;   // holds the folder "choice" and the topics file
    std::string topicsPath; // empty: DATA/topics.txt
    bool manualClock = true;
    bool silentSound = true;   // no audio device: sounds play silently on the host clock
    bool asyncReaders = false; // readers that complete through the event loop
    bool echoLog = false;
    // Off: the scene still draws every frame, but nothing reaches the screen's pixels.
    bool paint = true;
    // Keeps the lines of text each frame draws (textDraws).
    bool recordTexts = false;
    // Every word of the game-state record starts with this value, so that a caller can
    // tell the words the scene wrote from the others.
    qx::Handle gameStateFill = 0;
};

class SceneSession {
public:
    explicit SceneSession(SessionOptions options);
    SceneSession(const SceneSession&) = delete;
    SceneSession& operator=(const SceneSession&) = delete;
    // Ends the scene if it still exists, then releases and unloads the module.
    ~SceneSession();

    // Loads the module, opens the data and sets a scene up. On failure answers false with one
    // line in error() naming the file concerned. A door map that would send a topic outside
    // the game-state record is refused before the module is loaded.
    bool start();
    const std::string& error() const { return error_; }
    // What the scene will not see, found while the data was opened, one line each naming the
    // file: a topics file that cannot be read, files of "choice" that are no regular files.
    const std::vector<std::string>& warnings() const { return warnings_; }
    // After a successful start: tears the scene down and sets a new one up on the data
    // folder as it is now, with the same module, media and clock (the clock goes on). On
    // failure answers false with error() and leaves no scene.
    bool restart();

    // One frame: the clock moves on by 1/60 s (on a manual clock), the host processes its
    // events, the scene updates and draws.
    void frame();
    // Frames until the clock has moved on by at least the given time.
    void runFor(std::int32_t milliseconds);
    // A slow frame ahead: the manual clock moves on by the given time now, and later frames
    // keep their 1/60 s steps from there.
    void stall(std::int32_t milliseconds);
    // The lines of text the last frame drew, in drawing order (with recordTexts).
    const std::vector<TextDraw>& textDraws() { return media_->fonts().output().drawn; }
    // Host pointer events, handed to the scene at once.
    void moveTo(std::int32_t x, std::int32_t y);
    void press();
    void release();
    std::int32_t pointerX() const { return pointerX_; }
    std::int32_t pointerY() const { return pointerY_; }

    bool running();
    // tearDown and destroyScene; afterwards the module holds no scene.
    void endScene();

    // The doors' words of the game-state record, as the scene wrote them.
    const std::array<qx::Handle, kGameStateWords>& gameState() const { return gameState_; }
    // The title of a topic record the producer handed out ("" when unknown or null).
    std::string titleOf(qx::Handle word) const;
    std::string codeOf(qx::Handle word) const;

    Host& host() { return *host_; }
    Surface& surface() { return media_->surface(); }
    Producer* producer() { return producer_.get(); }
    qx::IQXScene* scene() { return scene_; }
    std::int32_t frameCount() const { return frames_; }
    std::int32_t now() { return host_->currentTime(); }
    ModuleLoader& loader() { return loader_; }
    Media& media() { return *media_; }
    // The resource tree's root, the data folder, which the scene was set up on.
    qx::ResourceDirectory* resources() { return root_ != nullptr ? root_->directory() : nullptr; }
    // The data's layout values as the scene reads them.
    const ChoiceLayout& layout() const { return layout_; }

private:
    bool fail(const std::string& message);
    // The folder's layout, checked; the resource tree and producer on it; a scene set up.
    bool readData();
    // Opens the data and reads its layout; refuses a door map that would write outside the
    // game-state record, before the scene can.
    bool openData();
    bool setUpScene();

    SessionOptions options_;
    std::string error_;
    std::vector<std::string> warnings_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<Media> media_;
    std::unique_ptr<ResourceRoot> root_;
    std::unique_ptr<Producer> producer_;
    ModuleLoader loader_;
    qx::Canvas canvas_{};
    qx::IQXSceneFactory* factory_ = nullptr;
    qx::InterfaceTable* sceneTable_ = nullptr;
    qx::IQXScene* scene_ = nullptr;
    std::array<qx::Handle, kGameStateWords> gameState_{};
    ChoiceLayout layout_;
    std::int32_t frames_ = 0;
    std::int32_t startTime_ = 0;
    std::int32_t stalled_ = 0;
    std::int32_t pointerX_ = 320;
    std::int32_t pointerY_ = 240;
};

// The module beside the running program (the build puts qxhost and qxchoice.kpx together).
std::string defaultModulePath();

} // namespace qxhost
