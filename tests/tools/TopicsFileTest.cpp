#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "producer/TopicsFile.h"

namespace {

using Fields = std::vector<std::tuple<std::string, std::uint32_t, std::string, int>>;

qxhost::TopicsFile parse(const std::string& text) {
    return qxhost::parseTopics(text, "topics.txt");
}

Fields fields(const qxhost::TopicsFile& file) {
    Fields result;
    for (const auto& t : file.topics)
        result.emplace_back(t.code, t.flags, t.title, t.line);
    return result;
}

TEST(TopicsFile, ReadsFieldsAroundBlanksSkipsCommentsAndResolvesEscapes) {
    const auto file = parse("\xEF\xBB\xBFhi | 0 | History\r\n"
                            "\r\n"
                            "   # indented comment | 0 | not a topic\n"
                            "#xx | 0 | commented out\n"
                            "\t\n"
                            "  ab | 1 |  Pop Music  \n"
                            "cap\t|0|Capital\\nCities\n"
                            "seven77 | 4294967295 | A\\\\B | C\n");
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    // Only the first two bars separate fields; a title may hold more.
    EXPECT_EQ(fields(file), (Fields{{"hi", 0, "History", 1},
                                    {"ab", 1, "Pop Music", 6},
                                    {"cap", 0, "Capital\nCities", 7},
                                    {"seven77", 4294967295u, "A\\B | C", 8}}));
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
                            "ok2 | 0 | Last\n");
    EXPECT_EQ(fields(file), (Fields{{"ok1", 0, "First", 1}, {"ok2", 0, "Last", 13}}));
    ASSERT_EQ(file.errors.size(), 11u);
    for (std::size_t i = 0; i < file.errors.size(); ++i) {
        const std::string prefix = "topics.txt:" + std::to_string(i + 2) + ": ";
        EXPECT_EQ(file.errors[i].rfind(prefix, 0), 0u) << file.errors[i];
        EXPECT_EQ(file.errors[i].find('\n'), std::string::npos) << file.errors[i];
    }
    EXPECT_NE(file.errors[3].find("toolong8"), std::string::npos);
    EXPECT_NE(file.errors[8].find("\\t"), std::string::npos);

    const auto missing = qxhost::loadTopicsFile("/nonexistent/topics.txt");
    EXPECT_TRUE(missing.topics.empty());
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].rfind("/nonexistent/topics.txt: ", 0), 0u);
}

// The demo's topics must fill more than the 560-pixel bar so that it wraps and scrolls.
TEST(DemoTopics, ParseCleanlyAndOverflowTheBar) {
    const auto file = qxhost::loadTopicsFile(QX_DEMO_SOURCE_DIR "/topics.txt");
    ASSERT_TRUE(file.errors.empty()) << file.errors.front();
    EXPECT_GE(file.topics.size(), 40u);
    EXPECT_LE(file.topics.size(), 100u);
    int buttons = 0, flagged = 0, twoLines = 0;
    std::set<std::string> skipped;
    for (const auto& topic : file.topics) {
        if (topic.code == "xx" || topic.code == "cd") {
            skipped.insert(topic.code);
            continue;
        }
        ++buttons;
        flagged += topic.flags != 0 ? 1 : 0;
        twoLines += topic.title.find('\n') != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(skipped, (std::set<std::string>{"xx", "cd"}));
    EXPECT_GE(flagged, 1);
    EXPECT_GE(twoLines, 1);
    // Even with titles of no width, the 30-pixel gaps alone exceed the bar.
    EXPECT_GT(buttons * 30, 560);
}

} // namespace
