// The producer's topics file: one topic a line, "code | flags | title".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qxhost {

struct TopicRecord {
    std::string code;    // at most kMaxTopicCodeLength bytes, no blanks
    std::uint32_t flags; // nonzero draws the topic's frame grey
    std::string title;   // escapes resolved: "\n" is a line break
    int line;            // line of the file it came from, for messages
};

// The code travels in the topic record's 8-byte field together with its terminator.
inline constexpr std::size_t kMaxTopicCodeLength = 7;

struct TopicsFile {
    std::vector<TopicRecord> topics;
    // One line per problem, "FILE:LINE: what is wrong"; the offending line is skipped.
    std::vector<std::string> errors;
    // The first line holding a carriage return that ends no line: lines that end in CR alone
    // are not line ends here, so such a file reads as fewer, longer lines. 0 when none.
    int loneCarriageReturnLine = 0;
    // Why the file could not be read at all ("FILE: what"), or "".
    std::string unreadable;
};

// Parses the text of a topics file. fileName only labels the error lines.
TopicsFile parseTopics(std::string_view text, const std::string& fileName);

// Reads and parses a topics file, with the host's file limits; a file that cannot be read
// gives one error and no topics.
TopicsFile loadTopicsFile(const std::string& path);

} // namespace qxhost
