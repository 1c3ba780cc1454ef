#include "media/SingleEntryArchive.h"

#include <algorithm>

#include "archives/HostFile.h"

namespace qxhost {

SingleEntryArchive::SingleEntryArchive(Host& host)
    : host_(host), record_(qx::BitmapDescription{}) {}

void SingleEntryArchive::setEntry(std::uint32_t type, std::string name, std::string description,
                                  EntryRecord record, std::string content) {
    if (hasEntry_) {
        return;
    }
    name_ = std::move(name);
    description_ = std::move(description);
    record_ = record;
    content_ = std::move(content);
    entry_.type = type;
    entry_.description = description_.c_str();
    entry_.name = name_.c_str();
    hasEntry_ = true;
    list(entry_);
}

qx::Handle SingleEntryArchive::entryHandle(qx::ResourceEntry* entry) {
    if (indexOf(entry) == kNotListed) {
        return 0;
    }
    return std::visit([](auto& record) { return reinterpret_cast<qx::Handle>(&record); }, record_);
}

qx::InterfaceTable* SingleEntryArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    if (indexOf(entry) == kNotListed) {
        return nullptr;
    }
    return lend(Reader::overBytes(host_, content_));
}

std::string fileLabel(const qx::ResourceEntry* entry) {
    if (entry != nullptr && entry->description != nullptr && entry->description[0] != '\0') {
        return entry->description;
    }
    if (entry != nullptr && entry->name != nullptr) {
        return entry->name;
    }
    return "<unnamed entry>";
}

bool readWholeStream(qx::IStream* stream, std::vector<std::uint8_t>& bytes, std::size_t limit,
                     std::string& error) {
    bytes.clear();
    if (stream == nullptr) {
        error = "no stream to read the file from";
        return false;
    }
    std::int32_t announced = 0;
    if (stream->control(qx::kStreamQuerySize, &announced) == 1 && announced > 0) {
        if (static_cast<std::size_t>(announced) > limit) {
            error = "is " + sizeText(static_cast<std::uint64_t>(announced)) + ", more than the " +
                    sizeText(limit) + " the host reads";
            return false;
        }
        bytes.reserve(static_cast<std::size_t>(announced));
    }
    constexpr std::int32_t kChunk = 64 * 1024;
    for (;;) {
        const std::size_t used = bytes.size();
        if (used > limit) {
            error = "is more than the " + sizeText(limit) + " the host reads";
            return false;
        }
        bytes.resize(used + kChunk);
        qx::StreamReadRequest request{bytes.data() + used, kChunk, 0};
        if (stream->control(qx::kStreamRead, &request) != 1) {
            bytes.resize(used);
            error = "the stream refused to be read";
            return false;
        }
        const std::int32_t count = std::clamp(request.count, 0, kChunk);
        bytes.resize(used + static_cast<std::size_t>(count));
        if (count == 0) {
            return true;
        }
    }
}

} // namespace qxhost
