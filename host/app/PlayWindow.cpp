#include "app/PlayWindow.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/GameStateReport.h"
#include "media/ChatterToLog.h"

namespace qxhost::app {

PlayWindow::PlayWindow(PlayOptions options) : options_(std::move(options)) {}

PlayWindow::~PlayWindow() {
    // The scene's sounds may still use SDL's audio, so the session goes first.
    if (overlay_) {
        session_->host().log().setObserver(nullptr);
    }
    session_.reset();
    if (texture_ != nullptr) {
        SDL_DestroyTexture(texture_);
    }
    if (renderer_ != nullptr) {
        SDL_DestroyRenderer(renderer_);
    }
    if (window_ != nullptr) {
        SDL_DestroyWindow(window_);
    }
    if (videoStarted_) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
}

bool PlayWindow::open() {
    SessionOptions session;
    session.dataPath = options_.dataPath;
    session.modulePath = options_.modulePath;
    session.silentSound = false;
    session.gameStateFill = kUnwrittenWord;
    session_ = std::make_unique<SceneSession>(session);
    if (!session_->start()) {
        error_ = session_->error();
        return false;
    }
    if (options_.record) {
        recorder_.emplace(session_->now());
    }
    if (options_.overlay) {
        makeOverlay();
    }
    if (options_.watch) {
        std::string program = options_.checkProgram;
        if (program.empty()) {
            std::error_code ignored;
            program = std::filesystem::read_symlink("/proc/self/exe", ignored).string();
        }
        static std::ostream quiet(nullptr);
        reload_ = std::make_unique<FolderReload>(
            options_.dataPath, session_->loader().path(), program,
            options_.watchOutput != nullptr ? *options_.watchOutput : quiet);
        if (!reload_->start(error_)) {
            return false;
        }
    }
    ChatterToLog chatter(session_->host());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error_ = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    videoStarted_ = true;
    const int scale = std::clamp(options_.scale, 1, 4);
    window_ = SDL_CreateWindow("qxhost play", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               Surface::kWidth * scale, Surface::kHeight * scale, 0);
    if (window_ != nullptr) {
        renderer_ = SDL_CreateRenderer(window_, -1, 0);
    }
    if (renderer_ != nullptr) {
        // The screen's "-rrrrrgggggbbbbb" words are SDL's XRGB1555.
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB555, SDL_TEXTUREACCESS_STREAMING,
                                     Surface::kWidth, Surface::kHeight);
    }
    if (texture_ == nullptr) {
        error_ = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    // The scene draws its own cursor.
    SDL_ShowCursor(SDL_DISABLE);
    return true;
}

void PlayWindow::makeOverlay() {
    overlay_.emplace(options_.dataPath, session_->resources(),
                     session_->media().fonts().typeface());
    session_->host().log().setObserver([this](const LogLine& line) { overlay_->observe(line); });
}

void PlayWindow::setUpAgain() {
    if (!session_->restart()) {
        if (options_.watchOutput != nullptr) {
            *options_.watchOutput << "qxhost: " << session_->error() << "\n" << std::flush;
        }
        return;
    }
    ++reloads_;
    if (overlay_) {
        makeOverlay();
    }
    // The new scene's cursor starts where the mouse is.
    session_->moveTo(session_->pointerX(), session_->pointerY());
}

void PlayWindow::toScreen(std::int32_t windowX, std::int32_t windowY, std::int32_t& x,
                          std::int32_t& y) {
    int width = Surface::kWidth;
    int height = Surface::kHeight;
    SDL_GetWindowSize(window_, &width, &height);
    x = std::clamp<std::int32_t>(windowX * Surface::kWidth / std::max(width, 1), 0,
                                 Surface::kWidth - 1);
    y = std::clamp<std::int32_t>(windowY * Surface::kHeight / std::max(height, 1), 0,
                                 Surface::kHeight - 1);
}

void PlayWindow::queue(ScriptOp op, std::int32_t x, std::int32_t y) {
    std::int32_t lastX = session_->pointerX();
    std::int32_t lastY = session_->pointerY();
    for (const PointerInput& input : inputs_) {
        if (input.op == ScriptOp::Move) {
            lastX = input.x;
            lastY = input.y;
        }
    }
    if (op == ScriptOp::Move || x != lastX || y != lastY) {
        if (!inputs_.empty() && inputs_.back().op == ScriptOp::Move) {
            inputs_.back().x = x;
            inputs_.back().y = y;
        } else {
            inputs_.push_back({ScriptOp::Move, x, y});
        }
    }
    if (op != ScriptOp::Move) {
        inputs_.push_back({op, x, y});
    }
}

void PlayWindow::apply(const PointerInput& input) {
    switch (input.op) {
    case ScriptOp::Move: session_->moveTo(input.x, input.y); break;
    case ScriptOp::Press: session_->press(); break;
    default: session_->release(); break;
    }
}

void PlayWindow::handle(const SDL_Event& event) {
    std::int32_t x = 0;
    std::int32_t y = 0;
    switch (event.type) {
    case SDL_QUIT: closed_ = true; break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_ESCAPE) {
            closed_ = true;
        }
        break;
    case SDL_MOUSEMOTION:
        toScreen(event.motion.x, event.motion.y, x, y);
        queue(ScriptOp::Move, x, y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) {
            break;
        }
        toScreen(event.button.x, event.button.y, x, y);
        queue(event.type == SDL_MOUSEBUTTONDOWN ? ScriptOp::Press : ScriptOp::Release, x, y);
        break;
    default: break;
    }
}

bool PlayWindow::step() {
    if (reload_ && reload_->frame()) {
        setUpAgain();
    }
    if (session_ == nullptr || session_->scene() == nullptr || closed_) {
        return false;
    }
    SDL_Event event;
    while (!closed_ && SDL_PollEvent(&event) != 0) {
        handle(event);
    }
    if (closed_) {
        return false;
    }
    std::optional<PointerInput> input;
    if (!inputs_.empty()) {
        input = inputs_.front();
        inputs_.pop_front();
        apply(*input);
    }
    session_->frame();
    if (recorder_) {
        recorder_->frame(input ? &*input : nullptr, session_->now());
    }
    const std::uint16_t* shown = session_->surface().pixels().data();
    if (overlay_) {
        overlay_->draw(session_->surface(), session_->pointerX(), session_->pointerY(), overlaid_);
        shown = overlaid_.data();
    }
    SDL_UpdateTexture(texture_, nullptr, shown, Surface::kPitch);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    if (!session_->running()) {
        session_->endScene();
        return false;
    }
    return true;
}

bool PlayWindow::saveRecording(const std::string& scriptPath, const std::string& picturePath) {
    if (!recorder_ || session_ == nullptr) {
        error_ = "nothing was recorded";
        return false;
    }
    const std::vector<std::string> header = {
        "Recorded by qxhost play on " + options_.dataPath + ": one pointer input a frame,",
        "60 frames a second. Replay: qxhost run DATA --script FILE --out DIR; the last",
        "screen becomes DIR/final.png, the same as " + picturePath + "."};
    std::ofstream file(scriptPath, std::ios::binary);
    file << recorder_->script(header);
    file.close();
    if (!file) {
        error_ = "cannot write " + scriptPath;
        return false;
    }
    if (!session_->surface().savePng(picturePath)) {
        error_ = "cannot write " + picturePath;
        return false;
    }
    return true;
}

} // namespace qxhost::app
