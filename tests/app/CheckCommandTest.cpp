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
};

class BrokenData : public testing::TestWithParam<Breakage> {};

TEST_P(BrokenData, NamesTheProblemAndFails) {
    qxtest::TempFolder folder;
    fs::copy(qxtest::demoData(), folder.path(), fs::copy_options::recursive);
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
