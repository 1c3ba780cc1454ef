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
};

class BrokenData : public testing::TestWithParam<Breakage> {};

TEST_P(BrokenData, NamesTheProblemAndFails) {
    qxtest::TempFolder folder;
    fs::copy(qxtest::demoData(), folder.path(), fs::copy_options::recursive);
    GetParam().apply(folder.at("choice"));
    const auto result = check(folder.path());
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(std::regex_search(result.out, std::regex(GetParam().expected))) << result.out;
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
