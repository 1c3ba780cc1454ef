#include <gtest/gtest.h>

#include <sstream>

#include "app/Script.h"

namespace {

using qxhost::app::parseScript;
using qxhost::app::Script;
using qxhost::app::ScriptOp;

Script parse(const std::string& text) {
    std::istringstream in(text);
    return parseScript(in, "s.txt");
}

TEST(Script, CommandsCommentsAndBlankLines) {
    const Script script = parse("# a session\n"
                                "\n"
                                "wait 1800   # the opening fade\n"
                                "  move 10 20\n"
                                "press\nrelease\n"
                                "click 639 479\n"
                                "drag 58 428 152 242 400\n"
                                "shot 01-start.v2\n");
    ASSERT_TRUE(script.errors.empty()) << script.errors.front();
    ASSERT_EQ(script.commands.size(), 7u);
    EXPECT_EQ(script.commands[0].op, ScriptOp::Wait);
    EXPECT_EQ(script.commands[0].numbers[0], 1800);
    EXPECT_EQ(script.commands[1].line, 4);
    EXPECT_EQ(script.commands[5].numbers, (std::array<std::int32_t, 5>{58, 428, 152, 242, 400}));
    EXPECT_EQ(script.commands[6].name, "01-start.v2");
}

TEST(Script, EveryFaultyLineIsNamedAndNothingIsKeptFromIt) {
    const Script script = parse("wait 100\n"
                                "jump 3\n"             // 2: unknown
                                "move 10\n"            // 3: too few
                                "press now\n"          // 4: too many
                                "wait 1.5\n"           // 5: not whole
                                "click 640 10\n"       // 6: off screen
                                "drag 0 0 10 -1 100\n" // 7: off screen
                                "wait 99999999\n"      // 8: too long
                                "shot a\nshot a\n"     // 10: repeated name
                                "shot ../up\n"         // 11: bad name
                                "shot contact-sheet\n" // 12: would overwrite the sheet
                                "shot b-diff\n");      // 13: kept for --compare
    ASSERT_EQ(script.errors.size(), 11u);
    const char* expected[] = {"s.txt:2: unknown command \"jump\"",
                              "s.txt:3: move expects \"move X Y\", got 1 argument",
                              "s.txt:4: press expects no arguments",
                              "s.txt:5: \"1.5\" is not a whole number",
                              "s.txt:6: x 640 is outside the screen",
                              "s.txt:7: y -1 is outside the screen",
                              "s.txt:8: time 99999999",
                              "s.txt:10: shot name \"a\" is already used",
                              "s.txt:11: shot name \"../up\"",
                              "s.txt:12: shot name \"contact-sheet\" is already used",
                              "s.txt:13: shot name \"b-diff\" ends in -diff"};
    for (std::size_t i = 0; i < script.errors.size(); ++i) {
        EXPECT_EQ(script.errors[i].rfind(expected[i], 0), 0u) << script.errors[i];
    }
    EXPECT_EQ(script.commands.size(), 2u); // the first wait and the first shot
}

TEST(Script, FramesFollowTheClockAtSixtyASecond) {
    const Script script = parse("wait 1000\nwait 10\nclick 1 1\ndrag 0 0 9 9 0\nshot x\n");
    ASSERT_TRUE(script.errors.empty());
    const std::int64_t frames[] = {60, 1, 3, 4, 0};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(qxhost::app::framesOf(script.commands[i]), frames[i]) << "command " << i;
    }
}

} // namespace
