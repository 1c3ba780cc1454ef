#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "demogen/ValuesFile.h"
#include "host_archives/TempFolder.h"

namespace {

using demogen::checkLayout;
using demogen::ValuesFile;

ValuesFile committed() { return demogen::loadValuesFile(QX_DEMO_SOURCE_DIR "/choice/values.txt"); }

// The layout check on a data folder whose values are the committed ones with one value
// replaced, added, or removed when empty.
std::vector<std::string> checkWith(const std::map<std::string, std::string>& changes) {
    ValuesFile file = committed();
    for (const auto& [name, value] : changes) {
        if (value.empty())
            file.values.erase(name);
        else
            file.values[name] = value;
    }
    std::string text;
    for (const auto& [name, value] : file.values)
        text += name + " = " + value + "\n";
    qxtest::TempFolder folder;
    folder.write("choice/values.txt", text);
    return checkLayout(folder.path());
}

TEST(ValuesFile, ReadsNameValueLinesAndReportsMalformedOnes) {
    std::istringstream in("# comment\n"
                          "  showframes =  1 \r\n"
                          "\n"
                          "porte01=104,170\n"
                          "no equals sign\n"
                          " = 3\n"
                          "porte01 = 1,1\n"
                          "long = 12345678901234567890123456789012\n");
    const auto file = demogen::parseValues(in, "values.txt");
    EXPECT_EQ(file.values.at("showframes"), "1");
    EXPECT_EQ(file.values.at("porte01"), "104,170");
    EXPECT_EQ(file.values.count("long"), 0u);
    ASSERT_EQ(file.errors.size(), 4u);
    EXPECT_EQ(file.errors[0].rfind("values.txt:5: ", 0), 0u);
    EXPECT_EQ(file.errors[1].rfind("values.txt:6: ", 0), 0u);
    EXPECT_NE(file.errors[2].find("twice"), std::string::npos);
    EXPECT_NE(file.errors[3].find("31"), std::string::npos);
}

TEST(DemoValues, DescribeNineDoorsOnScreenAboveTheTopicBar) {
    const ValuesFile file = committed();
    std::vector<demogen::DoorPlacement> doors;
    const auto problems = checkLayout(QX_DEMO_SOURCE_DIR, &doors);
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_EQ(doors.size(), 9u);
    EXPECT_EQ(file.values.at("showframes"), "1");
    EXPECT_EQ(file.values.at("portemap"), "1,2,3,4,5,6,7,8,9");
    EXPECT_EQ(file.values.count("textcenter10"), 0u) << "the scene would read a tenth door";
    for (const auto& door : doors) {
        char name[16];
        std::snprintf(name, sizeof name, "porte%02d", door.number);
        SCOPED_TRACE(name);
        // The scene cuts a position at the first comma and reads each side like atoi.
        const std::string& value = file.values.at(name);
        EXPECT_EQ(std::atoi(value.c_str()), door.x);
        EXPECT_EQ(std::atoi(value.substr(value.find(',') + 1).c_str()), door.y);
    }
}

TEST(LayoutCheck, CatchesMisplacedDoorsAndBadValues) {
    const char* const cases[][3] = {{"porte04", "560,170", "door 4 at 560,170"},
                                    {"porte04", "440,300", "leaves the door area"},
                                    {"porte01", "20,170", "door 1 lies under a round"},
                                    {"porte02", "100,40", "door 2 lies under the play"},
                                    {"textcenter03", "10,10", "door 3: its text centre"},
                                    {"porte03", "250,158", "door 3 overlaps door 2"},
                                    {"porte09", "", "\"porte09\" is missing"},
                                    {"porte09", "360;160", "is not \"x,y\""},
                                    {"textcenter10", "1,1", "tenth"},
                                    {"porte1", "1,1", "\"porte1\" is not a value"},
                                    {"showframes", "yes", "showframes"},
                                    {"portemap", "1,2,2", "names 2 twice"},
                                    {"portemap", "1,0", "entry 2"},
                                    {"portemap", "1,2,3,4,5,6,7,8,9,1", "more than nine"}};
    for (const auto& [name, value, fragment] : cases) {
        const auto problems = checkWith({{name, value}});
        EXPECT_TRUE(std::any_of(
            problems.begin(), problems.end(),
            [&](const std::string& p) { return p.find(fragment) != std::string::npos; }))
            << name << " = " << value;
    }
    // Door 5 belongs to the second round, so it may stand where door 1 stands.
    EXPECT_TRUE(checkWith({{"porte05", "104,170"}, {"textcenter05", "152,242"}}).empty());
}

} // namespace
