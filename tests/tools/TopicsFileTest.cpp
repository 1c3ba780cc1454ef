#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "producer/TopicsFile.h"

namespace {

qxhost::TopicsFile parse(const std::string& text) {
    std::istringstream in(text);
    return qxhost::parseTopics(in, "topics.txt");
}

TEST(TopicsFile, ReadsFieldsAroundBlanksAndResolvesEscapes) {
    const auto file = parse("  ab | 1 |  Pop Music  \n"
                            "cap\t|0|Capital\\nCities\n"
                            "bs | 42 | A\\\\B\n"
                            "rr | 0 | Rock | Roll\n");
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    ASSERT_EQ(file.topics.size(), 4u);
    EXPECT_EQ(file.topics[0].code, "ab");
    EXPECT_EQ(file.topics[0].flags, 1u);
    EXPECT_EQ(file.topics[0].title, "Pop Music");
    EXPECT_EQ(file.topics[0].line, 1);
    EXPECT_EQ(file.topics[1].code, "cap");
    EXPECT_EQ(file.topics[1].title, "Capital\nCities");
    EXPECT_EQ(file.topics[2].flags, 42u);
    EXPECT_EQ(file.topics[2].title, "A\\B");
    // Only the first two bars separate fields; a title may hold more.
    EXPECT_EQ(file.topics[3].title, "Rock | Roll");
}

TEST(TopicsFile, SkipsCommentsBlankLinesAndWindowsLineEnds) {
    const auto file = parse("\xEF\xBB\xBFhi | 0 | History\r\n"
                            "\r\n"
                            "   # indented comment | 0 | not a topic\n"
                            "#xx | 0 | commented out\n"
                            "\t\n"
                            "sc | 0 | Science\r\n");
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    ASSERT_EQ(file.topics.size(), 2u);
    EXPECT_EQ(file.topics[0].code, "hi");
    EXPECT_EQ(file.topics[1].title, "Science");
    EXPECT_EQ(file.topics[1].line, 6);
}

TEST(TopicsFile, ReportsEachMalformedLineByFileAndLineAndKeepsTheRest) {
    const auto file = parse("ok1 | 0 | First\n"
                            "no bars here\n"
                            "one | 0\n"
                            " | 0 | No code\n"
                            "toolong8 | 0 | Long code\n"
                            "a b | 0 | Blank in code\n"
                            "fx | x | Bad flags\n"
                            "fn | -1 | Negative flags\n"
                            "fb | 4294967296 | Too big\n"
                            "es | 0 | Tab\\tescape\n"
                            "eb | 0 | Lone\\\n"
                            "et | 0 |   \n"
                            "ok2 | 4294967295 | Last\n");
    ASSERT_EQ(file.topics.size(), 2u);
    EXPECT_EQ(file.topics[0].code, "ok1");
    EXPECT_EQ(file.topics[1].code, "ok2");
    EXPECT_EQ(file.topics[1].flags, 4294967295u);
    ASSERT_EQ(file.errors.size(), 11u);
    for (std::size_t i = 0; i < file.errors.size(); ++i) {
        const std::string prefix = "topics.txt:" + std::to_string(i + 2) + ": ";
        EXPECT_EQ(file.errors[i].rfind(prefix, 0), 0u) << file.errors[i];
        EXPECT_EQ(file.errors[i].find('\n'), std::string::npos) << file.errors[i];
    }
    EXPECT_NE(file.errors[3].find("toolong8"), std::string::npos);
    EXPECT_NE(file.errors[8].find("\\t"), std::string::npos);
}

TEST(TopicsFile, CodesUpToSevenCharactersFitTheTopicRecord) {
    const auto file = parse("seven77 | 0 | Fits\n");
    ASSERT_EQ(file.topics.size(), 1u);
    EXPECT_EQ(file.topics[0].code, "seven77");
}

TEST(TopicsFile, MissingFileGivesOneErrorNamingIt) {
    const auto file = qxhost::loadTopicsFile("/nonexistent/topics.txt");
    EXPECT_TRUE(file.topics.empty());
    ASSERT_EQ(file.errors.size(), 1u);
    EXPECT_EQ(file.errors[0].rfind("/nonexistent/topics.txt: ", 0), 0u);
}

// The demo's topics must fill more than the 560-pixel bar so that it wraps and scrolls.
TEST(DemoTopics, ParseCleanlyAndOverflowTheBar) {
    const auto file = qxhost::loadTopicsFile(QX_DEMO_SOURCE_DIR "/topics.txt");
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    EXPECT_GE(file.topics.size(), 40u);
    EXPECT_LE(file.topics.size(), 100u);

    int buttons = 0, flagged = 0, skipped = 0, twoLines = 0;
    std::set<std::string> skippedCodes;
    for (const auto& topic : file.topics) {
        if (topic.code == "xx" || topic.code == "cd") {
            ++skipped;
            skippedCodes.insert(topic.code);
            continue;
        }
        ++buttons;
        flagged += topic.flags != 0 ? 1 : 0;
        twoLines += topic.title.find('\n') != std::string::npos ? 1 : 0;
        std::istringstream words(topic.title);
        int count = 0;
        for (std::string w; words >> w;)
            ++count;
        EXPECT_LE(count, 3) << topic.title;
    }
    EXPECT_EQ(skippedCodes, (std::set<std::string>{"xx", "cd"}));
    EXPECT_GE(flagged, 1);
    EXPECT_GE(twoLines, 1);
    // Even with titles of no width, the 30-pixel gaps alone exceed the bar.
    EXPECT_GT(buttons * 30, 560);
}

} // namespace
