#include "media/SingleEntryArchive.h"

#include <algorithm>

namespace qxhost {

SingleEntryArchive::SingleEntryArchive() : record_(qx::BitmapDescription{}) {
    table_.addInterface("IArchive", static_cast<qx::IArchive*>(this));
}

void SingleEntryArchive::setEntry(std::uint32_t type, std::string name, std::string description,
                                  EntryRecord record, std::vector<std::uint8_t> content) {
    name_ = std::move(name);
    description_ = std::move(description);
    record_ = record;
    content_ = std::move(content);
    entry_ = qx::ResourceEntry{};
    entry_.type = type;
    entry_.description = description_.c_str();
    entry_.name = name_.c_str();
    hasEntry_ = true;
}

qx::ResourceEntry* SingleEntryArchive::nextEntry(qx::ResourceEntry* previous) {
    return hasEntry_ && previous == nullptr ? &entry_ : nullptr;
}

qx::Handle SingleEntryArchive::entryHandle(qx::ResourceEntry* entry) {
    if (!hasEntry_ || entry != &entry_) {
        return 0;
    }
    return std::visit([](auto& record) { return reinterpret_cast<qx::Handle>(&record); }, record_);
}

qx::InterfaceTable* SingleEntryArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    if (!hasEntry_ || entry != &entry_) {
        return nullptr;
    }
    readers_.push_back(std::make_unique<MemoryReader>(content_.data(),
                                                      static_cast<std::int32_t>(content_.size())));
    return readers_.back()->table();
}

void SingleEntryArchive::closeReader(qx::InterfaceTable* reader) {
    auto found = std::find_if(readers_.begin(), readers_.end(),
                              [reader](const auto& r) { return r->table() == reader; });
    if (found != readers_.end()) {
        readers_.erase(found);
    }
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
        bytes.reserve(std::min(static_cast<std::size_t>(announced), limit));
    }
    constexpr std::int32_t kChunk = 64 * 1024;
    for (;;) {
        const std::size_t used = bytes.size();
        if (used > limit) {
            error = "file is larger than " + std::to_string(limit) + " bytes";
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
