#include "session/SceneSession.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "archives/ArchiveTypes.h"
#include "archives/FolderArchive.h"
#include "archives/HostFile.h"

namespace qxhost {

namespace fs = std::filesystem;

std::string defaultModulePath() {
    std::error_code ignored;
#if defined(_WIN32)
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    fs::path self(buffer);
#else
    fs::path self = fs::read_symlink("/proc/self/exe", ignored);
#endif
    return (self.parent_path() / "qxchoice.kpx").string();
}

SceneSession::SceneSession(SessionOptions options) : options_(std::move(options)) {}

SceneSession::~SceneSession() {
    endScene();
    // The tree holds directories the module made; free it while the module is still loaded.
    root_.reset();
    loader_.close();
    producer_.reset();
    media_.reset();
    host_.reset();
}

bool SceneSession::fail(const std::string& message) {
    error_ = message;
    return false;
}

bool SceneSession::readData() {
    std::error_code code;
    if (!fs::is_directory(options_.dataPath, code)) {
        return fail("data folder " + options_.dataPath + ": not a folder");
    }
    if (!fs::is_directory(fs::path(options_.dataPath) / "choice", code)) {
        return fail("data folder " + options_.dataPath + ": has no folder \"choice\"");
    }
    if (options_.topicsPath.empty()) {
        options_.topicsPath = (fs::path(options_.dataPath) / "topics.txt").string();
    }
    return true;
}

bool SceneSession::openData() {
    root_ = openResourceRoot(*host_, options_.dataPath);
    addMediaArchives(*host_, *root_);
    producer_ = std::make_unique<Producer>(*host_, &media_->fonts(), options_.topicsPath);
    warnings_.clear();
    if (!producer_->fileProblem().empty()) {
        warnings_.push_back(producer_->fileProblem());
    }
    for (const std::string& path :
         nonRegularFiles((fs::path(options_.dataPath) / "choice").string())) {
        warnings_.push_back(path + ": " + kNotRegularFile);
    }
    layout_ = readChoiceLayout(root_->directory());
    if (const std::string problem = recordProblem(layout_); !problem.empty()) {
        // Named as the folder names it: the scene reads "values.txt" in any case.
        const std::string folder = (fs::path(options_.dataPath) / "choice").string();
        const std::string values = valuesFileIn(folder);
        return fail((values.empty() ? folder + "/values.txt" : values) + ": " + problem);
    }
    return true;
}

bool SceneSession::setUpScene() {
    gameState_.fill(options_.gameStateFill);
    // The topic frames' jitter comes from the C library's rand, which the module shares with
    // the host here: each scene starts from the same state, so a replay draws what play drew.
    std::srand(1);
    sceneTable_ = factory_->createScene();
    scene_ = sceneTable_ != nullptr
                 ? static_cast<qx::IQXScene*>(sceneTable_->getInterface(qx::kIQXSceneName))
                 : nullptr;
    if (scene_ == nullptr) {
        return fail("module " + options_.modulePath + ": createScene gave no IQXScene");
    }
    canvas_ = media_->surface().makeCanvas();
    scene_->setUp(&canvas_, root_->directory(), gameState_.data());
    return true;
}

bool SceneSession::start() {
    if (options_.modulePath.empty()) {
        options_.modulePath = defaultModulePath();
    }
    if (!readData()) {
        return false;
    }
    host_ = std::make_unique<Host>();
    host_->log().setEcho(options_.echoLog);
    if (options_.manualClock) {
        host_->clock().set(0);
    }
    if (options_.silentSound) {
        host_->setSetting("SoundBackend", "silent");
    }
    if (options_.asyncReaders) {
        host_->setSetting(kAsyncReadersSetting, "1");
    }
    media_ = std::make_unique<Media>(*host_);
    media_->surface().setPainting(options_.paint);
    media_->fonts().output().paint = options_.paint;
    media_->fonts().output().record = options_.recordTexts;
    if (!openData()) {
        return false;
    }
    if (!loader_.open(options_.modulePath)) {
        return fail(loader_.error());
    }

    qx::InterfaceTable* factoryTable = loader_.init(*host_);
    if (factoryTable == nullptr) {
        return fail(loader_.error());
    }
    factory_ =
        static_cast<qx::IQXSceneFactory*>(factoryTable->getInterface(qx::kIQXSceneFactoryName));
    if (factory_ == nullptr) {
        return fail("module " + options_.modulePath + ": no IQXSceneFactory");
    }
    startTime_ = host_->currentTime();
    return setUpScene();
}

bool SceneSession::restart() {
    if (factory_ == nullptr) {
        return fail("no scene was set up to start again");
    }
    endScene();
    // The resource tree holds directories the module made; it goes while the module is loaded.
    root_.reset();
    producer_.reset();
    if (!readData() || !openData()) {
        return false;
    }
    return setUpScene();
}

void SceneSession::frame() {
    if (scene_ == nullptr) {
        return;
    }
    ++frames_;
    if (host_->clock().isManual()) {
        // Whole milliseconds of frame n at 60 frames a second, without drift.
        host_->clock().set(
            startTime_ + stalled_ +
            static_cast<std::int32_t>(static_cast<std::int64_t>(frames_) * 1000 / 60));
    }
    media_->fonts().output().drawn.clear();
    host_->processEvents();
    scene_->update();
    scene_->drawScene();
}

void SceneSession::runFor(std::int32_t milliseconds) {
    const std::int32_t end = host_->currentTime() + milliseconds;
    while (scene_ != nullptr && host_->currentTime() < end) {
        frame();
    }
}

void SceneSession::stall(std::int32_t milliseconds) {
    if (host_ != nullptr && host_->clock().isManual() && milliseconds > 0) {
        stalled_ += milliseconds;
        host_->clock().advance(milliseconds);
    }
}

void SceneSession::moveTo(std::int32_t x, std::int32_t y) {
    pointerX_ = x;
    pointerY_ = y;
    if (scene_ != nullptr) {
        scene_->handleEvent(host_->makePointerEvent(qx::kHostPointerMoved, x, y));
    }
}

void SceneSession::press() {
    if (scene_ != nullptr) {
        scene_->handleEvent(host_->makePointerEvent(qx::kHostPointerPressed, pointerX_, pointerY_));
    }
}

void SceneSession::release() {
    if (scene_ != nullptr) {
        scene_->handleEvent(
            host_->makePointerEvent(qx::kHostPointerReleased, pointerX_, pointerY_));
    }
}

bool SceneSession::running() { return scene_ != nullptr && scene_->isRunning() != 0; }

void SceneSession::endScene() {
    if (scene_ == nullptr) {
        return;
    }
    scene_->tearDown();
    factory_->destroyScene(sceneTable_);
    scene_ = nullptr;
    sceneTable_ = nullptr;
    // Sounds still playing finish through the event loop.
    host_->drainEvents();
}

std::string SceneSession::titleOf(qx::Handle word) const {
    return producer_ != nullptr ? producer_->titleOf(reinterpret_cast<qx::TopicItem*>(word)) : "";
}

std::string SceneSession::codeOf(qx::Handle word) const {
    if (producer_ == nullptr ||
        producer_->titleOf(reinterpret_cast<qx::TopicItem*>(word)).empty()) {
        return "";
    }
    return reinterpret_cast<const qx::TopicItem*>(word)->code;
}

} // namespace qxhost
