#include "producer/TopicsFile.h"

#include <optional>
#include <string_view>

#include "archives/HostFile.h"
#include "qx/scene.h"

namespace qxhost {

// The code is copied into the topic record with its terminator.
static_assert(kMaxTopicCodeLength + 1 == sizeof(qx::TopicItem::code));

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<std::uint32_t> parseFlags(std::string_view s) {
    if (s.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// Resolves "\n" and "\\"; any other backslash sequence is reported in `problem`.
std::string unescape(std::string_view s, std::string& problem) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (i + 1 == s.size()) {
            problem = "title ends with a lone backslash";
            return {};
        }
        const char next = s[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next == '\\') {
            out += '\\';
        } else {
            problem = std::string("unknown escape \\") + next + " in title (use \\n or \\\\)";
            return {};
        }
    }
    return out;
}

// Returns an empty string when the line is a topic, else what is wrong with it.
std::string parseLine(std::string_view text, TopicRecord& record) {
    const std::size_t bar1 = text.find('|');
    const std::size_t bar2 = bar1 == std::string_view::npos ? bar1 : text.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos)
        return "expected 'code | flags | title'";

    const std::string_view code = trim(text.substr(0, bar1));
    const std::string_view flags = trim(text.substr(bar1 + 1, bar2 - bar1 - 1));
    const std::string_view title = trim(text.substr(bar2 + 1));

    if (code.empty())
        return "empty topic code";
    for (char c : code) {
        if (isBlank(c))
            return "topic code \"" + std::string(code) + "\" contains a blank";
    }
    if (code.size() > kMaxTopicCodeLength)
        return "topic code \"" + std::string(code) + "\" is longer than " +
               std::to_string(kMaxTopicCodeLength) + " characters";
    const std::optional<std::uint32_t> value = parseFlags(flags);
    if (!value)
        return "flags \"" + std::string(flags) + "\" are not a decimal number of 32 bits";
    std::string problem;
    std::string resolved = unescape(title, problem);
    if (!problem.empty())
        return problem;
    if (resolved.empty())
        return "empty title";

    record.code = std::string(code);
    record.flags = *value;
    record.title = std::move(resolved);
    return {};
}

} // namespace

TopicsFile parseTopics(std::string_view text, const std::string& fileName) {
    TopicsFile file;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (file.loneCarriageReturnLine == 0 && line.find('\r') != std::string_view::npos)
            file.loneCarriageReturnLine = number;
        if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF")
            line.remove_prefix(3);
        line = trim(line);
        if (line.empty() || line.front() == '#')
            continue;

        TopicRecord record{};
        record.line = number;
        const std::string problem = parseLine(line, record);
        if (problem.empty())
            file.topics.push_back(std::move(record));
        else
            file.errors.push_back(fileName + ":" + std::to_string(number) + ": " + problem);
    }
    return file;
}

TopicsFile loadTopicsFile(const std::string& path) {
    std::string text;
    std::string problem;
    if (!readHostFile(path, kLargestFile, text, problem)) {
        TopicsFile file;
        file.unreadable = path + ": " + problem;
        file.errors.push_back(file.unreadable);
        return file;
    }
    return parseTopics(text, path);
}

} // namespace qxhost
