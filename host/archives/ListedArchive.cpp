#include "archives/ListedArchive.h"

#include <algorithm>

namespace qxhost {

namespace {
// Names compare as the scene compares them: ASCII letters without regard to case.
std::string folded(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}
} // namespace

ListedArchive::ListedArchive() {
    table_.addInterface(qx::kIArchiveName, static_cast<qx::IArchive*>(this));
    table_.addInterface(qx::kIArchiveIndexName, static_cast<qx::IArchiveIndex*>(this));
}

void ListedArchive::list(qx::ResourceEntry& record) {
    // The archive's own word holds the position, so walking costs nothing per step.
    const std::size_t position = records_.size();
    record.reserved = reinterpret_cast<void*>(static_cast<std::uintptr_t>(position));
    record.parent = nullptr;
    records_.push_back(&record);
    if (record.name != nullptr) {
        byName_[folded(record.name)].push_back(position);
    }
    if (record.isArchive != 0) {
        archives_.push_back(position);
    }
}

std::size_t ListedArchive::indexOf(const qx::ResourceEntry* entry) const {
    if (entry == nullptr) {
        return kNotListed;
    }
    const auto index = reinterpret_cast<std::uintptr_t>(entry->reserved);
    return index < records_.size() && records_[index] == entry ? index : kNotListed;
}

qx::ResourceEntry* ListedArchive::nextEntry(qx::ResourceEntry* previous) {
    if (previous == nullptr) {
        return records_.empty() ? nullptr : records_.front();
    }
    const std::size_t index = indexOf(previous);
    return index != kNotListed && index + 1 < records_.size() ? records_[index + 1] : nullptr;
}

qx::ResourceEntry* ListedArchive::after(const std::vector<std::size_t>& positions,
                                        qx::ResourceEntry* previous) const {
    auto next = positions.begin();
    if (previous != nullptr) {
        const std::size_t index = indexOf(previous);
        if (index == kNotListed) {
            return nullptr;
        }
        next = std::upper_bound(positions.begin(), positions.end(), index);
    }
    return next != positions.end() ? records_[*next] : nullptr;
}

qx::ResourceEntry* ListedArchive::nextNamed(qx::ResourceEntry* previous, const char* name,
                                            std::int32_t length) {
    if (name == nullptr || length < 0) {
        return nullptr;
    }
    const auto found =
        byName_.find(folded(std::string_view(name, static_cast<std::size_t>(length))));
    return found != byName_.end() ? after(found->second, previous) : nullptr;
}

qx::ResourceEntry* ListedArchive::nextArchive(qx::ResourceEntry* previous) {
    return after(archives_, previous);
}

qx::Handle ListedArchive::entryHandle(qx::ResourceEntry*) { return 0; }

qx::InterfaceTable* ListedArchive::lend(std::unique_ptr<Reader> reader) {
    readers_.push_back(std::move(reader));
    return readers_.back()->table();
}

void ListedArchive::closeReader(qx::InterfaceTable* reader) {
    auto it = std::find_if(readers_.begin(), readers_.end(),
                           [reader](const auto& r) { return r->table() == reader; });
    if (it != readers_.end()) {
        readers_.erase(it);
    }
}

} // namespace qxhost
