#include "app/PlayWindow.h"

#include <algorithm>

#include "app/GameStateReport.h"

namespace qxhost::app {

PlayWindow::PlayWindow(PlayOptions options) : options_(std::move(options)) {}

PlayWindow::~PlayWindow() {
    // The scene's sounds may still use SDL's audio, so the session goes first.
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
    session.manualClock = options_.manualClock;
    session.silentSound = false;
    session.gameStateFill = kUnwrittenWord;
    session_ = std::make_unique<SceneSession>(session);
    if (!session_->start()) {
        error_ = session_->error();
        return false;
    }
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
        session_->moveTo(x, y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) {
            break;
        }
        toScreen(event.button.x, event.button.y, x, y);
        if (x != session_->pointerX() || y != session_->pointerY()) {
            session_->moveTo(x, y);
        }
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            session_->press();
        } else {
            session_->release();
        }
        break;
    default: break;
    }
}

bool PlayWindow::step() {
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
    session_->frame();
    SDL_UpdateTexture(texture_, nullptr, session_->surface().pixels().data(), Surface::kPitch);
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
    if (!session_->running()) {
        session_->endScene();
        return false;
    }
    return true;
}

} // namespace qxhost::app
