#include "archives/ListedArchive.h"

#include <algorithm>

namespace qxhost {

ListedArchive::ListedArchive() {
    table_.addInterface("IArchive", static_cast<qx::IArchive*>(this));
}

void ListedArchive::list(qx::ResourceEntry& record) {
    // The archive's own word holds the position, so walking costs nothing per step.
    record.reserved = reinterpret_cast<void*>(static_cast<std::uintptr_t>(records_.size()));
    record.parent = nullptr;
    records_.push_back(&record);
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
