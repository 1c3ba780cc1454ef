// What the scene tests share: the built module and demo data, edited copies of that data in
// a temporary folder, a player's hand on the pointer, and screenshots compared by hash.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "choice/ChoiceScreen.h"
#include "host_archives/TempFolder.h"
#include "session/SceneSession.h"
#include "support/ModuleMessages.h"

namespace scenetest {

namespace fs = std::filesystem;

inline std::string binaryDir() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return dir != nullptr ? dir : ".";
}

inline std::string demoData() { return binaryDir() + "/data/demo"; }

// Compares the screen's 64-bit FNV-1a hash (pixels low byte first) with a golden one; on a
// difference the screen is written out so that a person can look at it.
inline void expectScreen(qxhost::Surface& surface, const std::string& name, std::uint64_t golden) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::uint16_t pixel : surface.pixels()) {
        for (int shift : {0, 8}) {
            hash = (hash ^ static_cast<std::uint8_t>(pixel >> shift)) * 0x100000001b3ULL;
        }
    }
    if (hash != golden) {
        const fs::path dir = fs::path(binaryDir()) / "scene-shots";
        fs::create_directories(dir);
        const std::string path = (dir / (name + ".png")).string();
        surface.savePng(path);
        ADD_FAILURE() << "screen \"" << name << "\" hashes to 0x" << std::hex << hash
                      << "ULL; written to " << path;
    }
}

// A copy of the demo data that a test may edit; removed with the object.
class DataCopy : public qxtest::TempFolder {
public:
    DataCopy() { fs::copy(demoData(), path(), fs::copy_options::recursive); }

    void remove(const std::string& choiceFile) { fs::remove(at("choice/" + choiceFile)); }
    // Rewrites a file of the copy line by line; a line the edit answers empty for is dropped.
    void edit(const std::string& file, const std::function<std::string(const std::string&)>& fn,
              const std::string& extra = "") {
        std::ifstream in(at(file));
        std::string text;
        for (std::string line; std::getline(in, line);) {
            const std::string kept = fn(line);
            text += kept.empty() ? "" : kept + "\n";
        }
        in.close();
        std::ofstream(at(file)) << text << extra;
    }
};

inline constexpr const char* kValues = "choice/values.txt";

// Door centres on the demo screen, door 1 first.
struct Spot {
    std::int32_t x;
    std::int32_t y;
};
inline constexpr Spot kDoors[] = {{152, 242}, {264, 230}, {376, 230}, {488, 242}, {184, 250},
                                  {320, 242}, {456, 250}, {232, 232}, {408, 232}};
// A point inside a control of the demo's size, counted from its top-left corner.
constexpr Spot inside(qx::Point corner, std::int32_t dx, std::int32_t dy) {
    return {corner.x + dx, corner.y + dy};
}
inline constexpr Spot kPlay = inside(qx::screen::kPlayButton, 40, 20);
inline constexpr Spot kLeftArrow = inside(qx::screen::kLeftArrow, 14, 20);
inline constexpr Spot kRightArrow = inside(qx::screen::kRightArrow, 14, 20);
inline constexpr Spot kPreviousRound = inside(qx::screen::kPreviousRoundButton, 30, 30);
inline constexpr Spot kNextRound = inside(qx::screen::kNextRoundButton, 30, 30);
inline constexpr Spot kEmptyStage{320, 360};

// A started session on the built module (a failed start throws, failing the test); the session
// seeds the random wobble of the topic frames, so screenshots repeat. It keeps each frame's
// text draws; without paint nothing reaches the screen's pixels.
class Scene {
public:
    explicit Scene(const std::string& data = demoData(), bool paint = true) {
        qxhost::SessionOptions options;
        options.modulePath = binaryDir() + "/qxchoice.kpx";
        options.dataPath = data;
        options.paint = paint;
        options.recordTexts = true;
        session = std::make_unique<qxhost::SceneSession>(options);
        if (!session->start()) {
            throw std::runtime_error("the scene did not start: " + session->error());
        }
        session->frame();
    }
    // Whatever the session did, from set-up to tear-down, the module logged only its own
    // messages, each with its own format.
    ~Scene() {
        session->endScene();
        EXPECT_EQ(qxtest::foreignLines(session->host().log()), "");
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    qxhost::SceneSession* operator->() { return session.get(); }

    // A pointer on its way: the router sees each step, as with a real mouse.
    void glideTo(Spot to) {
        const std::int32_t fromX = session->pointerX();
        const std::int32_t fromY = session->pointerY();
        for (int step = 1; step <= 4; ++step) {
            session->moveTo(fromX + (to.x - fromX) * step / 4, fromY + (to.y - fromY) * step / 4);
            session->frame();
        }
    }
    void click(Spot at) { drag(at, at, false); }
    void drag(Spot from, Spot to, bool glide = true) {
        glideTo(from);
        session->press();
        session->frame();
        if (glide) {
            glideTo(to);
        }
        session->release();
        session->frame();
    }
    // Drops the bar's first title into a door and lets its button shrink away.
    void fill(int door) {
        drag(firstTitle(), kDoors[door - 1]);
        session->runFor(800);
    }

    // x of the first title the player sees in the bar: the first column, right of the arrow,
    // holding near-white text.
    std::int32_t firstTitleX(std::int32_t from = 32) {
        for (std::int32_t x = from; x < 600; ++x) {
            for (std::int32_t y = 418; y < 440; ++y) {
                const std::uint16_t p = session->surface().pixel(x, y);
                if (((p >> 10) & 31) >= 28 && ((p >> 5) & 31) >= 28 && (p & 31) >= 28) {
                    return x;
                }
            }
        }
        return -1;
    }
    Spot firstTitle() { return {firstTitleX() + 6, 428}; }

    std::size_t logCount(const std::string& part) {
        std::size_t n = 0;
        for (const auto& line : session->host().log().lines()) {
            n += line.message.find(part) != std::string::npos ? 1 : 0;
        }
        return n;
    }
    void expectNoErrors() {
        for (const auto& line : session->host().log().lines()) {
            EXPECT_LT(line.level, 3) << line.message;
        }
    }

    // What play wrote for door-map entry n: the game-state word kFirstDoorWord + n.
    qx::Handle entryWord(int n) { return session->gameState()[qx::kFirstDoorWord + n]; }
    std::string entryTitle(int n) { return session->titleOf(entryWord(n)); }

    std::unique_ptr<qxhost::SceneSession> session;
};

} // namespace scenetest
