#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "demogen/ValuesFile.h"

namespace {

using demogen::checkLayout;
using demogen::DoorPlacement;
using demogen::ValuesFile;

ValuesFile parse(const std::string& text) {
    std::istringstream in(text);
    return demogen::parseValues(in, "values.txt");
}

ValuesFile committed() { return demogen::loadValuesFile(QX_DEMO_SOURCE_DIR "/choice/values.txt"); }

// The committed values with one value replaced, added (when absent) or removed (when empty).
ValuesFile committedWith(const std::string& name, const std::string& value) {
    ValuesFile file = committed();
    if (value.empty())
        file.values.erase(name);
    else
        file.values[name] = value;
    return file;
}

bool mentions(const std::vector<std::string>& problems, const std::string& what) {
    return std::any_of(problems.begin(), problems.end(),
                       [&](const std::string& p) { return p.find(what) != std::string::npos; });
}

// How the scene reads a position: cut at the first comma, each side like atoi.
std::pair<int, int> asTheSceneReadsIt(const std::string& value) {
    const std::size_t comma = value.find(',');
    return {std::atoi(value.substr(0, comma).c_str()), std::atoi(value.substr(comma + 1).c_str())};
}

TEST(ValuesFile, ReadsNameValueLinesAndReportsMalformedOnes) {
    const auto file = parse("# comment\n"
                            "  showframes =  1 \r\n"
                            "\n"
                            "porte01=104,170\n"
                            "no equals sign\n"
                            " = 3\n"
                            "porte01 = 1,1\n"
                            "long = 12345678901234567890123456789012\n");
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
    std::vector<DoorPlacement> doors;
    const auto problems = checkLayout(file, &doors);
    EXPECT_TRUE(problems.empty()) << problems.front();
    ASSERT_EQ(doors.size(), 9u);
    EXPECT_EQ(file.values.at("showframes"), "1");
    EXPECT_EQ(file.values.at("portemap"), "1,2,3,4,5,6,7,8,9");

    for (const DoorPlacement& door : doors) {
        char name[16];
        std::snprintf(name, sizeof name, "porte%02d", door.number);
        EXPECT_EQ(asTheSceneReadsIt(file.values.at(name)), std::make_pair(door.x, door.y));
        SCOPED_TRACE(name);
        EXPECT_GE(door.x, 0);
        EXPECT_LE(door.x + 96, 640);
        EXPECT_GE(door.y, 40);
        EXPECT_LE(door.y + 144, 410);
        // A topic's text centred there stays within the screen's width for short titles.
        EXPECT_GE(door.textX, 50);
        EXPECT_LE(door.textX, 590);
    }
    // Nothing that would make the scene read a tenth door.
    EXPECT_EQ(file.values.count("textcenter10"), 0u);
}

TEST(LayoutCheck, CatchesDoorsThatLeaveTheAreaOrHideTheControls) {
    EXPECT_TRUE(mentions(checkLayout(committedWith("porte04", "560,170")), "door 4 at 560,170"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("porte04", "440,300")), "leaves the door area"));
    EXPECT_TRUE(
        mentions(checkLayout(committedWith("porte01", "20,170")), "door 1 lies under a round"));
    EXPECT_TRUE(
        mentions(checkLayout(committedWith("porte02", "100,40")), "door 2 lies under the play"));
    EXPECT_TRUE(
        mentions(checkLayout(committedWith("textcenter03", "10,10")), "door 3: its text centre"));
}

TEST(LayoutCheck, OnlyDoorsOfTheSameRoundMayNotOverlap) {
    EXPECT_TRUE(
        mentions(checkLayout(committedWith("porte03", "250,158")), "door 3 overlaps door 2"));
    // Door 5 belongs to the second round, so it may stand where door 1 stands.
    ValuesFile file = committedWith("porte05", "104,170");
    file.values["textcenter05"] = "152,242";
    EXPECT_TRUE(checkLayout(file).empty());
}

TEST(LayoutCheck, ReportsMissingMalformedAndUnexpectedValues) {
    EXPECT_TRUE(mentions(checkLayout(committedWith("porte09", "")), "\"porte09\" is missing"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("porte09", "360;160")), "is not \"x,y\""));
    EXPECT_TRUE(mentions(checkLayout(committedWith("textcenter10", "1,1")), "tenth"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("porte1", "1,1")), "\"porte1\" is not a value"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("showframes", "yes")), "showframes"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("portemap", "1,2,2")), "names 2 twice"));
    EXPECT_TRUE(mentions(checkLayout(committedWith("portemap", "1,0")), "entry 2"));
    EXPECT_TRUE(
        mentions(checkLayout(committedWith("portemap", "1,2,3,4,5,6,7,8,9,1")), "more than nine"));
}

} // namespace
