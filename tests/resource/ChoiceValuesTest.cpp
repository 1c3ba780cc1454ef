#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "archives/ResourceRoot.h"
#include "host_archives/TempFolder.h"
#include "resource/ChoiceValues.h"
#include "runtime/Host.h"

namespace {

using Map = std::vector<std::int32_t>;

// A data folder whose choice/values.txt holds the given lines, read as the scene reads it.
class Values : public ::testing::Test {
protected:
    qx::ChoiceValues open(const std::string& lines) {
        folder.write("choice/values.txt", lines);
        root = qxhost::openResourceRoot(host, folder.path());
        return qx::ChoiceValues(
            root->directory()->openDirectory(root->directory()->find("choice")));
    }

    qxhost::Host host;
    qxtest::TempFolder folder;
    std::unique_ptr<qxhost::ResourceRoot> root;
};

TEST(NumberOf, ConvertsLikeAtoiAndSaturatesBeyondThirtyTwoBits) {
    const std::pair<const char*, std::int32_t> cases[] = {{" \t\n-12abc", -12},
                                                          {"+7", 7},
                                                          {"x", 0},
                                                          {"", 0},
                                                          {"- 5", 0},
                                                          {"-2147483648", INT32_MIN},
                                                          {"2147483647", INT32_MAX},
                                                          {"2147483648", INT32_MAX},
                                                          {"-99999999999", INT32_MIN}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(qx::numberOf(text), value) << '"' << text << '"';
    }
}

TEST_F(Values, TheDoorMapTakesEachFieldAsGivenUpToNine) {
    const struct {
        const char* text;
        Map map;
        int fields;
        bool more;
    } cases[] = {{"3,x,5", {3, 0, 5, 4, 5, 6, 7, 8, 9}, 3, false},
                 {"10,11,0", {10, 11, 0, 4, 5, 6, 7, 8, 9}, 3, false},
                 {"-1", {-1, 2, 3, 4, 5, 6, 7, 8, 9}, 1, false},
                 {"", {0, 2, 3, 4, 5, 6, 7, 8, 9}, 1, false},
                 {"9,8,7,6,5,4,3,2,1,7", {9, 8, 7, 6, 5, 4, 3, 2, 1}, 9, true}};
    for (const auto& c : cases) {
        const qx::ChoiceValues values = open(std::string("portemap = ") + c.text + "\n");
        std::int32_t map[qx::kMappedDoors] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        const qx::DoorMapValue read = values.doorMap(map);
        EXPECT_EQ(Map(map, map + 9), c.map) << c.text;
        EXPECT_EQ(read.fieldCount, c.fields) << c.text;
        EXPECT_EQ(read.more, c.more) << c.text;
    }
    std::int32_t untouched[qx::kMappedDoors] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(open("showframes = 1\n").doorMap(untouched).found);
    EXPECT_EQ(Map(untouched, untouched + 9), (Map{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST_F(Values, DoorsAreWalkedAsSetUpMeetsThem) {
    // Names match without regard to case; a value is read to 31 characters.
    const qx::ChoiceValues values =
        open("PORTE01 = 10, 20\ntextcenter01 = 1234567890123456789012345678,9999\n"
             "textcenter02 = 5,5\nporte03 = 7\nporte04 = 1,1\ntextcenter04 = 2,2\n");
    std::vector<std::string> walk;
    values.forEachDoor([&walk](const qx::DoorValues& door) {
        walk.push_back(std::to_string(door.number) + (door.setUp() ? " set up" : "") +
                       (door.made() ? " made" : "") + " " + std::to_string(door.position.point.x) +
                       "," + std::to_string(door.position.point.y) +
                       (door.position.isPlain() ? " plain" : ""));
    });
    EXPECT_EQ(walk, (std::vector<std::string>{"1 set up made 10,20 plain", "2 0,0", "3 made 7,0"}));
    const qx::PositionValue centre = values.position("textcenter01");
    EXPECT_STREQ(centre.text, "1234567890123456789012345678,99");
    EXPECT_EQ(centre.point, qx::Point(INT32_MAX, 99));
    EXPECT_EQ(values.showFrames(), 0);
    EXPECT_EQ(open("showframes = 1\n").showFrames(), 1);
}

} // namespace
