// The module's own drawing, on the reference host's bitmaps and screen.
#include <benchmark/benchmark.h>

#include <memory>

#include "BenchHost.h"
#include "visual/AlphaImage.h"
#include "visual/KeyedImage.h"
#include "visual/TranslucentImage.h"

namespace qxbench {

namespace {

void drawLoop(benchmark::State& state, qx::VisibleElement& image, int area) {
    BenchHost& env = BenchHost::get();
    env.resetScreen();
    for (auto _ : state) {
        image.draw(&env.canvas);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * area);
}

void alphaDraw(benchmark::State& state, const char* name, const Picture& picture, double opacity) {
    BenchHost& env = BenchHost::get();
    qx::AlphaImage image(env.entry(name, picture, 32, "aaaaaaaarrrrrrrrggggggggbbbbbbbb"));
    image.position = qx::Point(kDrawX, kDrawY);
    image.setOpacity(opacity);
    drawLoop(state, image, picture.area());
}

void BM_ours_alpha32_opacity100(benchmark::State& state) {
    alphaDraw(state, "alpha32.png", alphaPicture(), 1.0);
}
void BM_ours_alpha32_opacity60(benchmark::State& state) {
    alphaDraw(state, "alpha32.png", alphaPicture(), 0.6);
}
void BM_ours_gradient_opacity100(benchmark::State& state) {
    alphaDraw(state, "gradient.png", gradientPicture(), 1.0);
}
void BM_ours_gradient_opacity60(benchmark::State& state) {
    alphaDraw(state, "gradient.png", gradientPicture(), 0.6);
}
void BM_ours_gradient_opacity0(benchmark::State& state) {
    alphaDraw(state, "gradient.png", gradientPicture(), 0.0);
}
void BM_ours_opaque_opacity100(benchmark::State& state) {
    alphaDraw(state, "opaque.png", opaquePicture(), 1.0);
}

void BM_ours_mask8(benchmark::State& state) {
    BenchHost& env = BenchHost::get();
    const Picture picture = maskPicture();
    qx::AlphaImage image(env.entry("mask8.png", picture, 8, "aaaaaaaa"));
    image.position = qx::Point(kDrawX, kDrawY);
    drawLoop(state, image, picture.area());
}

void BM_ours_keyed(benchmark::State& state) {
    BenchHost& env = BenchHost::get();
    const Picture picture = cursorPicture();
    qx::KeyedImage image(env.entry("cursor.png", picture, 16, "-rrrrrgggggbbbbb"));
    image.position = qx::Point(kDrawX, kDrawY);
    drawLoop(state, image, picture.area());
}

void BM_ours_translucent50(benchmark::State& state) {
    BenchHost& env = BenchHost::get();
    const Picture picture = translucentPicture();
    qx::TranslucentImage image(kDrawX, kDrawY,
                               env.entry("door.png", picture, 16, "-rrrrrgggggbbbbb"));
    image.setOpacity(0.5);
    drawLoop(state, image, picture.area());
}

// Doors set the opacity of their question mark before every draw, mostly to the value it
// already has.
void BM_ours_setOpacity_unchanged(benchmark::State& state) {
    auto image = std::make_unique<qx::AlphaImage>(BenchHost::get().entry(
        "qmark.png", alphaPicture(), 32, "aaaaaaaarrrrrrrrggggggggbbbbbbbb"));
    image->setOpacity(0.6);
    for (auto _ : state) {
        image->setOpacity(0.6);
        benchmark::ClobberMemory();
    }
}

void BM_ours_setOpacity_new(benchmark::State& state) {
    auto image = std::make_unique<qx::AlphaImage>(BenchHost::get().entry(
        "qmark.png", alphaPicture(), 32, "aaaaaaaarrrrrrrrggggggggbbbbbbbb"));
    // A value that neither the current nor the kept tables have, every time.
    int step = 0;
    for (auto _ : state) {
        image->setOpacity(0.3 + (step++ % 512) / 1024.0);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_ours_alpha32_opacity100);
BENCHMARK(BM_ours_alpha32_opacity60);
BENCHMARK(BM_ours_gradient_opacity100);
BENCHMARK(BM_ours_gradient_opacity60);
BENCHMARK(BM_ours_gradient_opacity0);
BENCHMARK(BM_ours_opaque_opacity100);
BENCHMARK(BM_ours_mask8);
BENCHMARK(BM_ours_keyed);
BENCHMARK(BM_ours_translucent50);
BENCHMARK(BM_ours_setOpacity_unchanged);
BENCHMARK(BM_ours_setOpacity_new);

} // namespace qxbench
