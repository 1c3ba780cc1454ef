#include "archives/ValuesArchive.h"

#include <algorithm>

#include "archives/ArchiveTypes.h"
#include "archives/HostFile.h"

namespace qxhost {

namespace {
// A values file is a handful of short lines; anything far larger is not one.
constexpr std::size_t kMaxValuesFile = kLargestValuesFile;

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads the whole content through the stream's control; false when the stream cannot read.
bool readAll(qx::IStream& stream, std::string& content) {
    char chunk[4096];
    for (bool first = true;; first = false) {
        qx::StreamReadRequest request{chunk, static_cast<std::int32_t>(sizeof chunk), 0};
        if (stream.control(qx::kStreamRead, &request) != 1) {
            return !first;
        }
        if (request.count <= 0) {
            return true;
        }
        content.append(
            chunk, std::min<std::size_t>(static_cast<std::size_t>(request.count), sizeof chunk));
        if (content.size() > kMaxValuesFile) {
            return false;
        }
    }
}
} // namespace

ParsedValues parseValues(std::string_view text) {
    ParsedValues parsed;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;

        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view name =
            equals == std::string_view::npos ? std::string_view() : trimmed(line.substr(0, equals));
        if (name.empty()) {
            parsed.malformedLines.push_back(lineNumber);
            continue;
        }
        parsed.values.push_back(
            {std::string(name), std::string(trimmed(line.substr(equals + 1))), lineNumber});
    }
    return parsed;
}

ValuesArchive::ValuesArchive(Host& host, const std::string& label, std::vector<TextValue> values)
    : host_(host) {
    const std::uint32_t textType = host_.atoms().identifierOf(kTextType);
    for (TextValue& value : values) {
        const std::string description = label + ":" + std::to_string(value.line);
        entries_.push_back(std::make_unique<Entry>(Entry{{}, std::move(value), description}));
        Entry& entry = *entries_.back();
        entry.record.type = textType;
        entry.record.isArchive = 0;
        entry.record.description = entry.description.c_str();
        entry.record.name = entry.value.name.c_str();
        list(entry.record);
    }
}

qx::InterfaceTable* ValuesArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    const std::size_t index = indexOf(entry);
    if (index == kNotListed) {
        return nullptr;
    }
    return lend(Reader::overBytes(host_, entries_[index]->value.value));
}

ValuesArchiveFactory::ValuesArchiveFactory(Host& host) : ArchiveFactory(host, kValuesFactory) {}

qx::InterfaceTable* ValuesArchiveFactory::create(qx::ResourceEntry* entry, qx::Handle,
                                                 qx::IStream* stream) {
    const char* file = entry == nullptr                ? kValuesFileName
                       : entry->description != nullptr ? entry->description
                       : entry->name != nullptr        ? entry->name
                                                       : kValuesFileName;
    std::string content;
    if (stream == nullptr || !readAll(*stream, content)) {
        host().report(qx::kLogError, "values archive: cannot read %s\n", file);
        return nullptr;
    }
    ParsedValues parsed = parseValues(content);
    for (int line : parsed.malformedLines) {
        host().report(qx::kLogError, "%s:%d: malformed value line, expected name = value\n", file,
                      line);
    }
    return keep(std::make_unique<ValuesArchive>(host(), file, std::move(parsed.values)));
}

} // namespace qxhost
