#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "AppTestSupport.h"
#include "host_archives/TempFolder.h"

namespace {

namespace fs = std::filesystem;

qxtest::CommandResult check(const std::string& data) {
    return qxtest::qxhost({"check", data, "--module", qxtest::modulePath()});
}

struct Breakage {
    const char* name;
    void (*apply)(const std::string& choice);
    const char* expected; // a line of the report, as a regular expression
};

const Breakage kBreakages[] = {
    {"DeletedPicture", [](const std::string& c) { fs::remove(c + "/pt3.png"); },
     R"(/choice/pt3\.png: missing \(the scene looks up "pt3\.png/image"\))"},
    {"CorruptPng",
     [](const std::string& c) { std::ofstream(c + "/qmark.png") << "\x89PNG garbage"; },
     R"(/choice/qmark\.png: picture does not decode: .+)"},
    {"GarbagePortemap",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "portemap", "portemap = a,b");
     },
     R"(/choice/values\.txt: portemap: entry 1 "a" is not a number)"},
    {"MissingTextCentre",
     [](const std::string& c) { qxtest::replaceLine(c + "/values.txt", "textcenter06", "# gone"); },
     R"(/choice/values\.txt: porte06: has no textcenter06, so door 6 and every later door are not set up)"},
    {"TruncatedSound", [](const std::string& c) { fs::resize_file(c + "/clicked.wav", 20); },
     R"(/choice/clicked\.wav: sound does not decode: .+)"},
    {"MissingButtonLook", [](const std::string& c) { fs::remove(c + "/l_1.png"); },
     R"(/choice/l_1\.png: missing \(the scene looks up "l_1\.png/image"\): the left arrow cannot be clicked)"},
    {"MissingRound", [](const std::string& c) { fs::remove(c + "/manche02.png"); },
     R"(/choice/manche02\.png: missing \(.*\), so the game has 1 round: no round buttons)"},
    {"EmptyTopics", [](const std::string& c) { std::ofstream(c + "/../topics.txt"); },
     R"(topics\.txt: has no topics, so the topic bar stays empty)"},
    {"DoorMapOutsideTheRecord",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "portemap", "portemap = 1,2,900");
     },
     R"(/choice/values\.txt: portemap: entry 3 is 900, so door 3 would write word 912, outside the game-state record \(words 0 to 63\))"},
    {"DoorMapOntoAnotherDoor",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "portemap", "portemap = 2");
     },
     R"(/choice/values\.txt: portemap: doors 1 and 2 both write word 14)"},
    {"TenthDoor",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "portemap", "porte10 = 1,1\ntextcenter10 = 2,2");
     },
     R"(/choice/values\.txt: porte10: door 10 has no portemap entry, so its topic is never written)"},
    // Whole names: a broken l_0.png does not hide a missing bl_0.png.
    {"BrokenNameInsideAMissingOne",
     [](const std::string& c) {
         std::ofstream(c + "/l_0.png") << "garbage";
         fs::remove(c + "/bl_0.png");
     },
     R"(/choice/bl_0\.png: missing \(the scene looks up "bl_0\.png/image"\))"},
    // Data the scene shows wrongly, each with what the player sees.
    {"FolderNamedLikeARound",
     [](const std::string& c) {
         fs::remove(c + "/manche01.png");
         fs::create_directory(c + "/manche01.png");
     },
     R"(/choice/manche01\.png: is a folder, not a picture \(.*\), so the screen has no background)"},
    {"OpaqueQuestionMark", [](const std::string& c) { qxtest::writePicture(c + "/qmark.png", 24); },
     R"(/choice/qmark\.png: is a 24-bit picture: .* shows as stripes)"},
    {"OpaqueMask", [](const std::string& c) { qxtest::writePicture(c + "/rmask.png", 24); },
     R"(/choice/rmask\.png: is a 24-bit picture: .* shows as stripes)"},
    {"CursorWithAlpha", [](const std::string& c) { qxtest::writePicture(c + "/cursor.png", 32); },
     R"(/choice/cursor\.png: is a 32-bit picture: .* shows no cursor)"},
    {"GreyCursor", [](const std::string& c) { qxtest::writePicture(c + "/cursor.png", 8); },
     R"(/choice/cursor\.png: is a 8-bit picture: .* shows no cursor)"},
    {"BackgroundWithAlpha",
     [](const std::string& c) { qxtest::writePicture(c + "/manche02.png", 32, 640, 480); },
     R"(/choice/manche02\.png: is a 32-bit picture: .* at every frame, about 30 times slower)"},
    {"DoorOffScreen",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "porte03", "porte03 = 700,158");
     },
     R"(values\.txt: porte03: door 3 \(96 x 144 at 700,158\) lies off the screen)"},
    {"DoorsOverlapping",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "porte02", "porte02 = 150,170");
     },
     R"(values\.txt: porte02: door 2 overlaps door 1, shown with it)"},
    {"TextCentreOffScreen",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "textcenter04", "textcenter04 = 488,-40");
     },
     R"(values\.txt: textcenter04: 488,-40 lies off the screen, so the topic put into door 4 is )"
     R"(shown where it cannot be seen)"},
    {"TextCentresOverlapping",
     [](const std::string& c) {
         qxtest::replaceLine(c + "/values.txt", "textcenter02", "textcenter02 = 160,244");
     },
     R"(values\.txt: textcenter02: the topic put into door 2 is drawn over the one in door 1)"},
    {"MoreTopicsThanTheBarTakes",
     [](const std::string& c) {
         std::ofstream topics(c + "/../topics.txt", std::ios::app);
         for (int i = 0; i < 60; ++i) {
             topics << "t" << i << " | 0 | Topic " << i << "\n";
         }
     },
     R"(topics\.txt: has 105 topics; the bar takes the first 100, so the 5 from line \d+ on get no button)"},
    {"OnlyEntriesWithoutButtons",
     [](const std::string& c) {
         std::ofstream(c + "/../topics.txt") << "xx | 0 | X\ncd | 0 | C\n";
     },
     R"(topics\.txt: has only "xx" and "cd" entries .* so the topic bar stays empty)"},
    {"CarriageReturnLineEnds",
     [](const std::string& c) { std::ofstream(c + "/../topics.txt") << "a | 0 | A\rb | 0 | B\r"; },
     R"(topics\.txt:1: lines end in a carriage return alone)"},
    {"NulInsideATitle",
     [](const std::string& c) {
         std::ofstream(c + "/../topics.txt") << "a | 0 | Art\n"
                                             << std::string("b | 0 | His\0tory\n", 17);
     },
     R"(topics\.txt:2: the title holds a NUL byte after 3 bytes; the scene takes only those)"},
    {"ValuesOverTheLimit",
     [](const std::string& c) {
         std::ofstream(c + "/values.txt", std::ios::app) << std::string(1100000, '#') << "\n";
     },
     R"(/choice/values\.txt: is 1\.06 MB, more than the 1 MB the host reads, so it is not read: )"
     R"(the scene gets none of its values)"},
    {"ValueGivenTwice",
     [](const std::string& c) {
         std::ofstream(c + "/values.txt", std::ios::app) << "PORTE01 = 1,1\n";
     },
     R"(/choice/values\.txt:\d+: PORTE01 is given again \(first on line 15\); the scene reads the first)"},
};

class BrokenData : public testing::TestWithParam<Breakage> {};

TEST_P(BrokenData, NamesTheProblemAndFails) {
    qxtest::TempFolder folder;
    qxtest::copyDemo(folder.path());
    GetParam().apply(folder.at("choice"));
    const auto result = check(folder.path());
    EXPECT_EQ(result.status, 1);
    const std::regex expected(GetParam().expected);
    EXPECT_EQ(std::distance(std::sregex_iterator(result.out.begin(), result.out.end(), expected),
                            std::sregex_iterator()),
              1)
        << result.out;
    EXPECT_NE(result.out.find(folder.path() + ": "), std::string::npos) << "no summary line";
}

INSTANTIATE_TEST_SUITE_P(CheckCommand, BrokenData, testing::ValuesIn(kBreakages),
                         [](const auto& info) { return std::string(info.param.name); });

// The scene finds its files without regard to case, and so does check.
TEST(CheckCommand, FindsFilesWhateverTheirCaseAsTheSceneDoes) {
    qxtest::TempFolder folder;
    qxtest::copyDemo(folder.path());
    fs::rename(folder.at("choice/values.txt"), folder.at("choice/Values.TXT"));
    fs::rename(folder.at("choice/pt3.png"), folder.at("choice/PT3.Png"));
    const auto result = check(folder.path());
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("no problems (9 doors"), std::string::npos) << result.out;
    // run reports the doors the scene set up from Values.TXT; no shots, no sheet.
    const auto run = qxtest::run(folder.path(), folder.write("s.txt", "wait 100\nclick 60 24\n"),
                                 folder.at("out"));
    EXPECT_EQ(run.status, 0) << run.err;
    qxtest::expectHas(run.out, {"door 9 (word 21): empty"});
    EXPECT_FALSE(fs::exists(folder.at("out/contact-sheet.png")));
}

TEST(CheckCommand, DemoDataIsCleanAndAFolderWithoutChoiceIsOneLine) {
    auto result = check(qxtest::demoData());
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_NE(result.out.find("no problems (9 doors"), std::string::npos) << result.out;
    qxtest::TempFolder folder;
    result = check(folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "qxhost: data folder " + folder.path() + ": has no folder \"choice\"\n");
}

} // namespace
