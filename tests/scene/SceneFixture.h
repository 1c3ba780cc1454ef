// What the scene tests share: the built module and demo data, edited copies of that data in
// a temporary folder, a player's hand on the pointer, and screenshots compared by hash.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "session/SceneSession.h"

namespace scenetest {

namespace fs = std::filesystem;

inline std::string binaryDir() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return dir != nullptr ? dir : ".";
}

inline std::string demoData() { return binaryDir() + "/data/demo"; }

// 64-bit FNV-1a over the screen's pixels, low byte first.
inline std::uint64_t screenHash(const std::vector<std::uint16_t>& pixels) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (std::uint16_t pixel : pixels) {
        for (int shift : {0, 8}) {
            hash ^= static_cast<std::uint8_t>(pixel >> shift);
            hash *= 0x100000001b3ULL;
        }
    }
    return hash;
}

// Compares the screen with a golden hash; on a difference the screen is written out so that
// a person can look at it.
inline void expectScreen(qxhost::Surface& surface, const std::string& name, std::uint64_t golden) {
    const std::uint64_t hash = screenHash(surface.pixels());
    if (hash != golden) {
        const fs::path dir = fs::path(binaryDir()) / "scene-shots";
        fs::create_directories(dir);
        const std::string path = (dir / (name + ".png")).string();
        surface.savePng(path);
        std::ostringstream hex;
        hex << std::hex << "0x" << hash;
        ADD_FAILURE() << "screen \"" << name << "\" hashes to " << hex.str() << "ULL; written to "
                      << path;
    }
}

// A copy of the demo data that a test may edit; removed with the object.
class DataCopy {
public:
    DataCopy() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("qx-scene-" + std::string(info->test_suite_name()) + "-" + info->name());
        fs::remove_all(path_);
        fs::copy(demoData(), path_, fs::copy_options::recursive);
    }
    DataCopy(const DataCopy&) = delete;
    DataCopy& operator=(const DataCopy&) = delete;
    ~DataCopy() { fs::remove_all(path_); }

    std::string path() const { return path_.string(); }
    void remove(const std::string& choiceFile) { fs::remove(path_ / "choice" / choiceFile); }
    // Rewrites values.txt line by line; a line the edit answers empty for is dropped.
    void editValues(const std::function<std::string(const std::string&)>& edit,
                    const std::string& extra = "") {
        rewrite(path_ / "choice" / "values.txt", edit, extra);
    }
    void editTopics(const std::function<std::string(const std::string&)>& edit,
                    const std::string& extra = "") {
        rewrite(path_ / "topics.txt", edit, extra);
    }

private:
    static void rewrite(const fs::path& file,
                        const std::function<std::string(const std::string&)>& edit,
                        const std::string& extra) {
        std::ifstream in(file);
        std::string text, line;
        while (std::getline(in, line)) {
            const std::string kept = edit(line);
            if (!kept.empty()) {
                text += kept + "\n";
            }
        }
        in.close();
        std::ofstream(file) << text << extra;
    }
    fs::path path_;
};

inline std::string keep(const std::string& line) { return line; }

// Door centres on the demo screen, door 1 first.
struct Spot {
    std::int32_t x;
    std::int32_t y;
};
inline constexpr Spot kDoors[] = {{152, 242}, {264, 230}, {376, 230}, {488, 242}, {184, 250},
                                  {320, 242}, {456, 250}, {232, 232}, {408, 232}};
inline constexpr Spot kPlay{40, 20};
inline constexpr Spot kLeftArrow{14, 450};
inline constexpr Spot kRightArrow{624, 450};
inline constexpr Spot kPreviousRound{60, 230};
inline constexpr Spot kNextRound{580, 230};
inline constexpr Spot kEmptyStage{320, 360};

// A session on the built module, with the random wobble of the topic frames seeded so that
// screenshots repeat.
class Scene {
public:
    explicit Scene(const std::string& data = demoData()) {
        qxhost::SessionOptions options;
        options.modulePath = binaryDir() + "/qxchoice.kpx";
        options.dataPath = data;
        std::srand(1);
        session = std::make_unique<qxhost::SceneSession>(options);
        started = session->start();
        if (started) {
            session->frame();
        }
    }

    qxhost::SceneSession& operator*() { return *session; }
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
    void click(Spot at) {
        glideTo(at);
        session->press();
        session->frame();
        session->release();
        session->frame();
    }
    void drag(Spot from, Spot to) {
        glideTo(from);
        session->press();
        session->frame();
        glideTo(to);
        session->release();
        session->frame();
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

    std::string wordTitle(int word) { return session->titleOf(session->gameState()[word]); }

    std::unique_ptr<qxhost::SceneSession> session;
    bool started = false;
};

} // namespace scenetest
