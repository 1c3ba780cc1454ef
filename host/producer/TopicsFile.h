// The producer's topics file: one topic a line, "code | flags | title".
#pragma once

#include <cstdint>
#include <istream>
#include <string>
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
};

// Parses the text of a topics file. fileName only labels the error lines.
TopicsFile parseTopics(std::istream& in, const std::string& fileName);

// Reads and parses a topics file; a file that cannot be opened gives one error and no topics.
TopicsFile loadTopicsFile(const std::string& path);

} // namespace qxhost
