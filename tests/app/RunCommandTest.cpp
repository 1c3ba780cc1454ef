#include <gtest/gtest.h>

#include <webp/demux.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AppTestSupport.h"
#include "app/LayoutOverlay.h"
#include "archives/ResourceRoot.h"
#include "host_archives/TempFolder.h"
#include "media/Media.h"
#include "media/PngCodec.h"

namespace {

namespace fs = std::filesystem;

using qxtest::expectHas;
using qxtest::readFile;
using qxtest::run;

// A picture as R, G, B rows.
std::vector<std::uint8_t> pictureRgb(const std::string& path) {
    const std::string bytes = readFile(path);
    qxhost::DecodedPicture picture;
    std::string error;
    EXPECT_TRUE(qxhost::decodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                                  picture, error))
        << path << ": " << error;
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i + 2 < picture.pixels.size(); i += 3) {
        rgb.insert(rgb.end(), {picture.pixels[i + 2], picture.pixels[i + 1], picture.pixels[i]});
    }
    return rgb;
}

// Shot "opening" at 300 ms, "round-2" at 950 ms: every step is a whole number of frames.
constexpr char kShortSession[] = "wait 300\nshot opening\nclick 580 230\nwait 600\nshot round-2\n";

// The demo session fills doors 1 to 8 in bar order, takes Mythology back out of door 9 and
// presses play: the game state must say exactly that.
TEST(RunCommand, DemoSessionWritesTheChosenTopics) {
    qxtest::TempFolder out;
    const auto result =
        run(qxtest::demoData(), qxtest::sourceDir() + "/data/demo/session.txt", out.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string json = readFile(out.at("gamestate.json"));
    expectHas(json,
              {"\"finished\": true",
               R"({"door": 1, "word": 13, "written": true, "code": "hist", "title": "History"})",
               R"({"door": 2, "word": 14, "written": true, "code": "geo", "title": "Geography"})",
               R"({"door": 3, "word": 15, "written": true, "code": "sci", "title": "Science"})",
               R"({"door": 4, "word": 16, "written": true, "code": "film", "title": "Cinema"})",
               R"({"door": 5, "word": 17, "written": true, "code": "music", "title": "Pop Music"})",
               R"({"door": 6, "word": 18, "written": true, "code": "food", "title": "Cooking"})",
               R"({"door": 7, "word": 19, "written": true, "code": "art", "title": "Fine Arts"})",
               R"({"door": 8, "word": 20, "written": true, "code": "lit", "title": "Literature"})",
               R"({"door": 9, "word": 21, "written": true, "code": null, "title": null})"});
    for (const char* file : {"01-opening.png", "10-play.png", "contact-sheet.png", "log.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(out.at(file))) << file;
    }
    expectHas(readFile(out.at("log.txt")), {"[1] QXChoice::Manche 3 selected"});
    expectHas(result.out, {"door 8 (word 20): Literature [lit]"});
}

// A script error stops everything before it runs. The scene writes wherever the door map
// points, so the host refuses a map that would reach past its game-state record.
TEST(RunCommand, ScriptErrorsAndDoorMapsOutsideTheGameStateAreRefused) {
    qxtest::TempFolder folder;
    const std::string script = folder.write("bad.txt", "wait 10\nshot one\nhop 1 2\n");
    auto result = run(qxtest::demoData(), script, folder.at("out"));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err.rfind(script + ":3: unknown command \"hop\"", 0), 0u) << result.err;
    EXPECT_FALSE(fs::exists(folder.at("out")));

    qxtest::copyDemo(folder.at("data"));
    qxtest::replaceLine(folder.at("data/choice/values.txt"), "portemap", "portemap = 1,2,900");
    result = run(folder.at("data"), folder.write("s.txt", "click 60 24\n"), folder.at("out"));
    EXPECT_EQ(result.status, 1);
    expectHas(result.err, {"values.txt: portemap: entry 3 is 900, so door 3 would write word 912"});
    // The file is named as it is written, whatever its case.
    fs::rename(folder.at("data/choice/values.txt"), folder.at("data/choice/Values.TXT"));
    result = run(folder.at("data"), folder.write("s.txt", "click 60 24\n"), folder.at("out"));
    EXPECT_EQ(result.status, 1);
    expectHas(result.err, {"choice/Values.TXT: portemap: entry 3 is 900"});
}

// Odd door maps, end to end through the built module: every field converts like atoi and is
// stored as given, and gamestate.json names the word the scene wrote door 1's topic into.
TEST(RunCommand, DoorMapsAreStoredAsGivenAndTheReportFollowsThem) {
    const std::pair<const char*, int> maps[] = {
        {"3,x,5", 15}, {"10,11,0", 22}, {"-1", 11}, {"", 12}, {"9,8,7,6,5,4,3,2,1,7", 21}};
    for (const auto& [map, word] : maps) {
        qxtest::TempFolder folder;
        qxtest::copyDemo(folder.at("data"));
        qxtest::replaceLine(folder.at("data/choice/values.txt"), "portemap",
                            std::string("portemap = ") + map);
        const std::string script =
            folder.write("s.txt", "wait 1800\ndrag 58 428 152 242 400\nwait 900\nclick 60 24\n");
        const auto result = run(folder.at("data"), script, folder.at("out"));
        ASSERT_EQ(result.status, 0) << map << ": " << result.err;
        SCOPED_TRACE(map);
        expectHas(readFile(folder.at("out/gamestate.json")),
                  {"{\"door\": 1, \"word\": " + std::to_string(word) +
                   ", \"written\": true, \"code\": \"hist\""});
    }
}

} // namespace

// One pixel changed in a reference shot is found, boxed and drawn; a reference shot this run
// did not take counts as a difference too. An unchanged reference gives no difference.
TEST(RunCommand, CompareFindsAOnePixelChangeAndNamesItsBox) {
    qxtest::TempFolder folder;
    const std::string script = folder.write("s.txt", kShortSession);
    ASSERT_EQ(run(qxtest::demoData(), script, folder.at("ref")).status, 0);
    auto result =
        run(qxtest::demoData(), script, folder.at("same"), {"--compare", folder.at("ref")});
    EXPECT_EQ(result.status, 0) << result.out;
    expectHas(result.out, {"  round-2: identical\n  gamestate.json: identical\nNo differences."});

    std::vector<std::uint8_t> rgb = pictureRgb(folder.at("ref/round-2.png"));
    rgb[(200 * 640 + 100) * 3] ^= 0x40;
    std::string error;
    ASSERT_TRUE(
        qxhost::writeRgbPng(folder.at("ref/round-2.png"), 640, 480, rgb.data(), 640 * 3, error));
    fs::copy_file(folder.at("ref/opening.png"), folder.at("ref/gone.png"));
    result = run(qxtest::demoData(), script, folder.at("out"), {"--compare", folder.at("ref")});
    EXPECT_EQ(result.status, 1);
    expectHas(result.out, {"  opening: identical\n",
                           "  round-2: 1 pixel differs within 1 x 1 at (100, 200); see " +
                               folder.at("out/round-2-diff.png") + "\n",
                           "  gone: in " + folder.at("ref") + " only; this run took no such shot\n",
                           "2 differences.\n"});
    const std::vector<std::uint8_t> diff = pictureRgb(folder.at("out/round-2-diff.png"));
    const auto at = [&diff](int x, int y) {
        const std::size_t i = static_cast<std::size_t>(y * 640 + x) * 3;
        return std::array<int, 3>{diff[i], diff[i + 1], diff[i + 2]};
    };
    EXPECT_EQ(at(100, 200), (std::array<int, 3>{255, 0, 0}));  // the change
    EXPECT_EQ(at(99, 199), (std::array<int, 3>{255, 230, 0})); // its box
    EXPECT_EQ(at(101, 201), (std::array<int, 3>{255, 230, 0}));
    EXPECT_LT(at(300, 300)[0], 86) << "the rest is dimmed";
    EXPECT_FALSE(fs::exists(folder.at("out/opening-diff.png")));
}

// The animation decodes, with libwebp's own decoder, to the screen at each shot's time;
// frames that did not change were merged, and the last one ends with the run.
TEST(RunCommand, AnimationDecodesToTheScreenAtEveryShot) {
    qxtest::TempFolder folder;
    const auto result = run(qxtest::demoData(), folder.write("s.txt", kShortSession),
                            folder.at("out"), {"--animation", folder.at("run.webp")});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string bytes = readFile(folder.at("run.webp"));
    WebPData data{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_RGBA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    WebPAnimInfo info;
    ASSERT_TRUE(WebPAnimDecoderGetInfo(decoder, &info));
    EXPECT_EQ(info.canvas_width, 640u);
    EXPECT_EQ(info.canvas_height, 480u);
    EXPECT_LT(info.frame_count, 57u) << "unchanged frames are merged";
    // Times from the first frame, drawn at 16 ms.
    const std::pair<const char*, int> shots[] = {{"opening", 300 - 16}, {"round-2", 950 - 16}};
    std::size_t next = 0;
    int end = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder)) {
        std::uint8_t* rgba = nullptr;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &rgba, &end));
        // A frame shows from the previous one's end up to its own end.
        for (; next < std::size(shots) && shots[next].second < end; ++next) {
            const auto expected =
                pictureRgb(folder.at(std::string("out/") + shots[next].first + ".png"));
            std::size_t wrong = 0;
            for (std::size_t i = 0; i < 640 * 480; ++i) {
                wrong += !std::equal(&expected[i * 3], &expected[i * 3] + 3, &rgba[i * 4]);
            }
            EXPECT_EQ(wrong, 0u) << shots[next].first;
        }
    }
    EXPECT_EQ(next, std::size(shots));
    EXPECT_EQ(end, 966 - 16) << "the last frame shows until a 58th would have come";
    WebPAnimDecoderDelete(decoder);
}

// The overlay is drawn over a copy of the screen: an overlaid shot equals the plain one
// wherever the overlay draws nothing (found by drawing it over white and over black), and
// shows the doors of the round the scene switched to.
TEST(RunCommand, OverlayShotsDifferFromPlainOnesOnlyWhereTheOverlayDraws) {
    qxtest::TempFolder folder;
    const std::string script =
        folder.write("s.txt", "wait 1800\nmove 100 100\nshot a\nclick 580 230\nwait 600\nshot b\n");
    ASSERT_EQ(run(qxtest::demoData(), script, folder.at("plain")).status, 0);
    ASSERT_EQ(run(qxtest::demoData(), script, folder.at("over"), {"--overlay"}).status, 0);

    qxhost::Host host;
    qxhost::Media media(host);
    qxhost::ResourceRoot root(host, qxtest::demoData());
    qxhost::app::LayoutOverlay overlay(qxtest::demoData(), root.directory(),
                                       media.fonts().typeface());
    struct Case {
        const char* shot;
        int pointerX, pointerY;
        int door; // shown in that round
    };
    for (const Case& c : {Case{"a", 100, 100, 1}, Case{"b", 580, 230, 5}}) {
        if (c.door == 5) {
            overlay.observe({1,
                             "QXChoice::Manche 2 selected\n",
                             "QXChoice::Manche %i selected\n",
                             {"2"},
                             false});
        }
        std::vector<std::uint16_t> overWhite;
        std::vector<std::uint16_t> overBlack;
        media.surface().fill(qx::Colour(255, 255, 255));
        overlay.draw(media.surface(), c.pointerX, c.pointerY, overWhite);
        const std::uint16_t white = media.surface().pixels()[0];
        media.surface().fill(qx::Colour(0, 0, 0));
        overlay.draw(media.surface(), c.pointerX, c.pointerY, overBlack);

        const auto plain = pictureRgb(folder.at(std::string("plain/") + c.shot + ".png"));
        const auto over = pictureRgb(folder.at(std::string("over/") + c.shot + ".png"));
        ASSERT_EQ(plain.size(), over.size());
        std::size_t changed = 0;
        std::size_t outside = 0;
        for (std::size_t i = 0; i < overWhite.size(); ++i) {
            const bool drawn = overWhite[i] != white || overBlack[i] != 0;
            const bool differs = !std::equal(&plain[i * 3], &plain[i * 3] + 3, &over[i * 3]);
            changed += differs;
            outside += differs && !drawn;
        }
        EXPECT_GT(changed, 1000u) << c.shot;
        EXPECT_EQ(outside, 0u) << c.shot << ": pixels changed where the overlay draws nothing";
        const auto door = std::find_if(overlay.doors().begin(), overlay.doors().end(),
                                       [&](const auto& d) { return d.number == c.door; });
        ASSERT_NE(door, overlay.doors().end());
        const std::size_t corner =
            static_cast<std::size_t>((door->box.y + door->box.height - 1) * 640 + door->box.x) * 3;
        EXPECT_EQ((std::array<int, 3>{over[corner], over[corner + 1], over[corner + 2]}),
                  (std::array<int, 3>{0, 255, 255}))
            << c.shot << ": door " << c.door << "'s rectangle";
    }
}
