#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AppTestSupport.h"
#include "host_archives/TempFolder.h"

namespace {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

qxtest::CommandResult run(const std::string& data, const std::string& script,
                          const std::string& out) {
    return qxtest::qxhost(
        {"run", data, "--script", script, "--out", out, "--module", qxtest::modulePath()});
}

// The demo session fills doors 1 to 8 in bar order, takes Mythology back out of door 9 and
// presses play: the game state must say exactly that.
TEST(RunCommand, DemoSessionWritesTheChosenTopics) {
    qxtest::TempFolder out;
    const auto result =
        run(qxtest::demoData(), qxtest::sourceDir() + "/data/demo/session.txt", out.path());
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string json = readFile(out.at("gamestate.json"));
    EXPECT_NE(json.find("\"finished\": true"), std::string::npos) << json;
    const char* doors[] = {
        R"({"door": 1, "word": 13, "written": true, "code": "hist", "title": "History"})",
        R"({"door": 2, "word": 14, "written": true, "code": "geo", "title": "Geography"})",
        R"({"door": 3, "word": 15, "written": true, "code": "sci", "title": "Science"})",
        R"({"door": 4, "word": 16, "written": true, "code": "film", "title": "Cinema"})",
        R"({"door": 5, "word": 17, "written": true, "code": "music", "title": "Pop Music"})",
        R"({"door": 6, "word": 18, "written": true, "code": "food", "title": "Cooking"})",
        R"({"door": 7, "word": 19, "written": true, "code": "art", "title": "Fine Arts"})",
        R"({"door": 8, "word": 20, "written": true, "code": "lit", "title": "Literature"})",
        R"({"door": 9, "word": 21, "written": true, "code": null, "title": null})"};
    for (const char* door : doors) {
        EXPECT_NE(json.find(door), std::string::npos) << door << "\n" << json;
    }
    for (const char* file : {"01-opening.png", "10-play.png", "contact-sheet.png", "log.txt"}) {
        EXPECT_TRUE(fs::is_regular_file(out.at(file))) << file;
    }
    EXPECT_NE(readFile(out.at("log.txt")).find("[1] QXChoice::Manche 3 selected"),
              std::string::npos);
    EXPECT_NE(result.out.find("door 8 (word 20): Literature [lit]"), std::string::npos);
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

    fs::copy(qxtest::demoData(), folder.at("data"), fs::copy_options::recursive);
    std::string text = readFile(folder.at("data/choice/values.txt"));
    folder.write("data/choice/values.txt",
                 text.replace(text.find("portemap = 1,2,3"), 16, "portemap = 1,2,900"));
    result = run(folder.at("data"), folder.write("s.txt", "click 60 24\n"), folder.at("out"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("values.txt: portemap sends door 3 to word 912"), std::string::npos)
        << result.err;
}

TEST(RunCommand, PlayWithEmptyDoorsStillWritesEveryWord) {
    qxtest::TempFolder folder;
    const std::string script = folder.write("s.txt", "wait 100\nclick 60 24\n");
    const auto result = run(qxtest::demoData(), script, folder.at("out"));
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string json = readFile(folder.at("out/gamestate.json"));
    EXPECT_NE(json.find(R"({"door": 9, "word": 21, "written": true, "code": null)"),
              std::string::npos)
        << json;
    EXPECT_FALSE(fs::exists(folder.at("out/contact-sheet.png"))); // no shots, no sheet
}

} // namespace
