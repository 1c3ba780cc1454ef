// A choice scene on a copy of the demo data, set up from fuzzed layout values with some
// pictures missing, then driven by a fuzzed stream of pointer moves, presses, releases,
// slow frames and frames through the built module. The pointer is a mouse: a press comes
// only with the button up, a release only with it down. Once the animations have had time
// to end, the screen must be whole (SceneChecks.h: every title in the bar or in a door, no
// door locked), and play must write what the doors show. At the end every event the host
// made has been destroyed.
//
// Places come from the whole 32-bit range and beyond (read like atoi, they saturate), doors
// may run into the thousands and titles to a megabyte, so that every sum of the scene's
// layout meets the ends of its range.
//
// Input: byte 0 picks the missing pictures (one bit each); byte 1 bit 0 chooses raw values
// text (the next byte gives its length) or values built from numbers, bit 1 doors past the
// ninth, bit 2 long titles in place of the demo's topics; the rest are commands.
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "SceneChecks.h"
#include "session/SceneSession.h"

namespace fs = std::filesystem;

namespace {

const char* const kPictures[] = {"qmark.png", "cursor.png", "lmask.png", "manche02.png",
                                 "pt1.png",   "l_0.png",    "bl_1.png",  "playbutton.png"};

fs::path gData;
std::string gModule;
// What the game-state words hold until the scene writes them.
constexpr qx::Handle kUnwritten = 0x5a5a5a5a;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    int number(int lo, int hi) {
        const int raw = byte() << 8 | byte();
        return lo + raw % (hi - lo + 1);
    }
    std::uint32_t word() {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) {
            w = w << 8 | byte();
        }
        return w;
    }
    std::string text(std::size_t n) {
        n = std::min(n, size_ - at_);
        std::string s(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A coordinate anywhere in 32 bits, at its ends, or with more digits than 32 bits hold.
std::string far(Input& in) {
    switch (in.byte() % 4) {
    case 0: return std::to_string(static_cast<std::int32_t>(in.word()));
    case 1: return in.byte() % 2 == 0 ? "2147483647" : "-2147483648";
    case 2: return (in.byte() % 2 == 0 ? "-" : "") + std::to_string(in.word()) + "99999";
    default: return std::to_string(in.number(-70000, 70000));
    }
}

// Mostly plausible positions, now and then far off the screen or not numbers at all.
std::string point(Input& in) {
    switch (in.byte() % 8) {
    case 0: return far(in) + "," + far(in);
    case 1: return in.text(in.byte() % 12);
    default:
        return std::to_string(in.number(-100, 700)) + "," + std::to_string(in.number(-100, 540));
    }
}

std::string values(Input& in, std::uint8_t mode) {
    if (mode % 2 == 1) {
        return in.text(in.byte());
    }
    std::string v = "showframes = " + std::to_string(in.number(-2, 2)) + "\n";
    // Past the ninth, doors come while the input lasts: a door without both values ends them.
    const int doors = (mode & 2) != 0 ? 9 + in.number(0, 4000) : 9;
    for (int door = 1; door <= doors; ++door) {
        const int kind = in.byte() % 4;
        if (kind == 0) {
            continue;
        }
        char name[16];
        std::snprintf(name, sizeof name, "%02d", door);
        v += std::string("porte") + name + " = " + point(in) + "\n";
        if (kind != 1) {
            v += std::string("textcenter") + name + " = " + point(in) + "\n";
        }
    }
    if (in.byte() % 3 != 0) {
        v += "portemap = ";
        for (int i = 0; i < 9; ++i) {
            v += (i ? "," : "") + std::to_string(in.number(-3, 60));
        }
        v += "\n";
    }
    return v;
}

// Up to 100 titles of up to a megabyte all told, each a piece of the input repeated.
std::string longTitles(Input& in) {
    std::string topics;
    std::size_t budget = 1u << 20;
    for (int i = 0, count = 1 + in.byte() % 100; i < count; ++i) {
        std::string piece = in.text(1 + in.byte() % 32);
        // One title a line; a zero byte would end the scene's copy of it early.
        for (char& c : piece) {
            c = c == '\n' || c == '\r' || c == '\0' ? ' ' : c;
        }
        if (piece.find_first_not_of(' ') == std::string::npos) {
            piece = "W";
        }
        const auto length = std::min<std::size_t>(
            budget, static_cast<std::size_t>(in.number(1, 65535)) * (1 + in.byte() % 16));
        budget -= length;
        std::string title;
        while (title.size() < length) {
            title += piece;
        }
        topics += "t" + std::to_string(i) + " | " + std::to_string(i % 2) + " | " + title + "\n";
    }
    return topics;
}

// Frames are the slow part (a whole screen each), so an input gets a few dozen; slow frames
// still move animations to their ends.
constexpr int kFramesPerInput = 24;
// The longest slow frame a command makes.
constexpr std::int32_t kLongestStallMs = 255 * 8;

void drive(qxhost::SceneSession& s, Input& in) {
    int frames = 0;
    bool down = false;
    const auto frame = [&] {
        if (frames++ < kFramesPerInput) {
            s.frame();
        }
    };
    for (int step = 0; step < 400 && !in.empty(); ++step) {
        switch (in.byte() % 7) {
        case 0: s.moveTo(in.number(-40, 680), in.number(-40, 520)); break;
        case 6: {
            const auto x = static_cast<std::int32_t>(in.word());
            s.moveTo(x, static_cast<std::int32_t>(in.word()));
            break;
        }
        case 1:
            if (!down) {
                s.press();
                down = true;
            }
            break;
        case 2:
            if (down) {
                s.release();
                down = false;
            }
            break;
        case 3: s.stall(in.byte() * 8); break;
        case 4: frame(); break;
        default:
            for (int n = in.byte() % 32; n > 0 && s.running(); --n) {
                frame();
            }
        }
        if (!s.running()) {
            return;
        }
    }
    if (down) {
        s.release();
    }
}

void fail(const char* what, const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    std::fprintf(stderr, "fuzz_scene: %s:\n", what);
    for (const std::string& problem : problems) {
        std::fprintf(stderr, "  %s\n", problem.c_str());
    }
    std::abort();
}

// Three seconds in slow frames end every animation; then the screen is checked, and play,
// when the data has a play button, must write what the doors show. The arrows may have
// scrolled the bar, so its gaps are not held to their bounds.
void checkSettled(qxhost::SceneSession& s) {
    for (int n = 0; n < 30; ++n) {
        s.stall(83);
        s.frame();
    }
    qxfuzz::SettledChoice settled(s, kLongestStallMs + 17);
    fail("the screen is not whole", settled.check(false));
    const auto before = s.gameState();
    s.moveTo(40, 20);
    s.press();
    s.release();
    if (s.gameState() != before) {
        fail("play does not write what the doors show", settled.checkPlayed());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* source = std::getenv("QX_FUZZ_DATA");
    const fs::path demo =
        source != nullptr ? fs::path(source) : fs::path(QX_FUZZ_BINARY_DIR) / "data" / "demo";
    gData = fs::temp_directory_path() / ("qx-fuzz-scene-" + std::to_string(getpid()));
    fs::remove_all(gData);
    fs::copy(demo, gData, fs::copy_options::recursive);
    gModule = std::string(QX_FUZZ_BINARY_DIR) + "/qxchoice.kpx";
    // Kept loaded for the whole run, so that its coverage counters stay in one place.
    if (dlopen(gModule.c_str(), RTLD_NOW | RTLD_LOCAL) == nullptr) {
        std::fprintf(stderr, "fuzz_scene: cannot load %s\n", gModule.c_str());
        std::exit(1);
    }
    std::atexit([] { fs::remove_all(gData); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const std::uint8_t missing = in.byte();
    const fs::path choice = gData / "choice";
    for (int i = 0; i < 8; ++i) {
        if (missing & (1u << i)) {
            fs::rename(choice / kPictures[i], choice / (std::string(kPictures[i]) + ".hidden"));
        }
    }
    const std::uint8_t mode = in.byte();
    std::ofstream(choice / "values.txt", std::ios::binary) << values(in, mode);
    const fs::path topics = gData / "fuzz-topics.txt";
    if ((mode & 4) != 0) {
        std::ofstream(topics, std::ios::binary) << longTitles(in);
    }

    {
        qxhost::SessionOptions options;
        options.modulePath = gModule;
        options.dataPath = gData.string();
        options.topicsPath = (mode & 4) != 0 ? topics.string() : "";
        options.recordTexts = true;
        options.gameStateFill = kUnwritten;
        qxhost::SceneSession session(options);
        if (session.start()) {
            drive(session, in);
            if (session.running()) {
                checkSettled(session);
            }
            session.endScene();
            session.host().drainEvents();
            if (session.host().liveEvents() != 0) {
                std::fprintf(stderr, "fuzz_scene: %d events never destroyed\n",
                             session.host().liveEvents());
                std::abort();
            }
        }
    }

    for (int i = 0; i < 8; ++i) {
        if (missing & (1u << i)) {
            fs::rename(choice / (std::string(kPictures[i]) + ".hidden"), choice / kPictures[i]);
        }
    }
    return 0;
}
