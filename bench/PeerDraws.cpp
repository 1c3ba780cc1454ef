// The same pictures through SDL2's and pixman's blitters onto a 640 x 480 RGB555 screen, and
// a plain copy of rows as the floor.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <vector>

#include "Pictures.h"

namespace qxbench {

namespace {

struct SdlScreen {
    SdlScreen() {
        surface = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 16, SDL_PIXELFORMAT_RGB555);
        const auto background = screenBackground();
        for (int y = 0; y < 480; ++y) {
            std::memcpy(static_cast<std::uint8_t*>(surface->pixels) + y * surface->pitch,
                        background.data() + y * 640, 640 * 2);
        }
    }
    SdlScreen(const SdlScreen&) = delete;
    SdlScreen& operator=(const SdlScreen&) = delete;
    ~SdlScreen() { SDL_FreeSurface(surface); }
    SDL_Surface* surface;
};

// The picture's values as an SDL surface; SDL keeps its own copy of the pixels.
SDL_Surface* sdlPicture(const Picture& picture, Uint32 format, int bytes) {
    SDL_Surface* s =
        SDL_CreateRGBSurfaceWithFormat(0, picture.width, picture.height, bytes * 8, format);
    for (int y = 0; y < picture.height; ++y) {
        auto* row = static_cast<std::uint8_t*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < picture.width; ++x) {
            std::memcpy(row + x * bytes, &picture.pixels[y * picture.width + x], bytes);
        }
    }
    return s;
}

void blitLoop(benchmark::State& state, SDL_Surface* picture, int area) {
    SdlScreen screen;
    for (auto _ : state) {
        SDL_Rect at{kDrawX, kDrawY, picture->w, picture->h};
        SDL_BlitSurface(picture, nullptr, screen.surface, &at);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * area);
    SDL_FreeSurface(picture);
}

void BM_sdl_blend_argb8888_to_rgb555(benchmark::State& state) {
    const Picture picture = alphaPicture();
    SDL_Surface* s = sdlPicture(picture, SDL_PIXELFORMAT_ARGB8888, 4);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    blitLoop(state, s, picture.area());
}

// The same blend with SDL's alpha modulation, as a fading picture needs: SDL takes its
// generic path for it.
void BM_sdl_blend_alphamod_argb8888_to_rgb555(benchmark::State& state) {
    const Picture picture = alphaPicture();
    SDL_Surface* s = sdlPicture(picture, SDL_PIXELFORMAT_ARGB8888, 4);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(s, 153); // 0.6
    blitLoop(state, s, picture.area());
}

void BM_sdl_rle_colorkey_rgb555(benchmark::State& state) {
    const Picture picture = cursorPicture();
    SDL_Surface* s = sdlPicture(picture, SDL_PIXELFORMAT_RGB555, 2);
    SDL_SetColorKey(s, SDL_TRUE, 0);
    SDL_SetSurfaceRLE(s, 1);
    blitLoop(state, s, picture.area());
}

void BM_sdl_surface_alpha_rgb555(benchmark::State& state) {
    const Picture picture = translucentPicture();
    SDL_Surface* s = sdlPicture(picture, SDL_PIXELFORMAT_RGB555, 2);
    SDL_SetSurfaceBlendMode(s, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(s, 128);
    blitLoop(state, s, picture.area());
}

// pixman's OVER onto a 16-bit screen, with a solid mask of that opacity when it is below 1.
void pixmanOver(benchmark::State& state, const Picture& picture, pixman_format_code_t format,
                double opacity) {
    std::vector<std::uint32_t> source = picture.pixels;
    std::vector<std::uint16_t> screen = screenBackground();
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8r8g8b8, picture.width, picture.height,
                                                   source.data(), picture.width * 4);
    pixman_image_t* dst = pixman_image_create_bits(
        format, 640, 480, reinterpret_cast<std::uint32_t*>(screen.data()), 640 * 2);
    pixman_image_t* mask = nullptr;
    if (opacity < 1.0) {
        const auto alpha = static_cast<std::uint16_t>(opacity * 65535.0);
        const pixman_color_t solid{alpha, alpha, alpha, alpha};
        mask = pixman_image_create_solid_fill(&solid);
    }
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, kDrawX, kDrawY,
                                 picture.width, picture.height);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * picture.area());
    if (mask != nullptr) {
        pixman_image_unref(mask);
    }
    pixman_image_unref(dst);
    pixman_image_unref(src);
}

void BM_pixman_over_8888_to_x1555(benchmark::State& state) {
    pixmanOver(state, alphaPicture(), PIXMAN_x1r5g5b5, 1.0);
}

// r5g6b5 is the 16-bit format pixman has its fast paths for: the strongest 16-bit peer.
void BM_pixman_over_gradient_to_0565(benchmark::State& state) {
    pixmanOver(state, gradientPicture(), PIXMAN_r5g6b5, 1.0);
}

void BM_pixman_over_gradient_masked_to_0565(benchmark::State& state) {
    pixmanOver(state, gradientPicture(), PIXMAN_r5g6b5, 0.6);
}

// The rows of the alpha picture's area, copied as they are: no drawing can beat this.
void BM_floor_memcpy_picture_rows(benchmark::State& state) {
    const Picture picture = alphaPicture();
    std::vector<std::uint16_t> from(static_cast<std::size_t>(picture.area()), 0x1234);
    std::vector<std::uint16_t> screen = screenBackground();
    for (auto _ : state) {
        for (int y = 0; y < picture.height; ++y) {
            std::memcpy(&screen[static_cast<std::size_t>((kDrawY + y) * 640 + kDrawX)],
                        &from[static_cast<std::size_t>(y * picture.width)],
                        static_cast<std::size_t>(picture.width) * 2);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * picture.area());
}

// One full screen copied row by row: the cheapest possible frame.
void BM_floor_memcpy_screen(benchmark::State& state) {
    const std::vector<std::uint16_t> from = screenBackground();
    std::vector<std::uint16_t> screen(from.size());
    for (auto _ : state) {
        for (int y = 0; y < 480; ++y) {
            std::memcpy(&screen[static_cast<std::size_t>(y) * 640],
                        &from[static_cast<std::size_t>(y) * 640], 640 * 2);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

} // namespace

BENCHMARK(BM_sdl_blend_argb8888_to_rgb555);
BENCHMARK(BM_sdl_blend_alphamod_argb8888_to_rgb555);
BENCHMARK(BM_sdl_rle_colorkey_rgb555);
BENCHMARK(BM_sdl_surface_alpha_rgb555);
BENCHMARK(BM_pixman_over_8888_to_x1555);
BENCHMARK(BM_pixman_over_gradient_to_0565);
BENCHMARK(BM_pixman_over_gradient_masked_to_0565);
BENCHMARK(BM_floor_memcpy_picture_rows);
BENCHMARK(BM_floor_memcpy_screen);

} // namespace qxbench
