#include "support/MemoryArchive.h"

#include <algorithm>
#include <cstring>

#include "module/HostServices.h"

namespace qxtest {

struct MemoryArchive::Reader final : public qx::IRead {
    explicit Reader(const std::vector<std::uint8_t>& from) : data(from) {
        table.addInterface("IRead", static_cast<qx::IRead*>(this));
    }
    std::int32_t read(void* buffer, std::int32_t size) override {
        const auto n = std::min(static_cast<std::size_t>(size), data.size() - offset);
        if (n > 0) {
            std::memcpy(buffer, data.data() + offset, n);
        }
        offset += n;
        return static_cast<std::int32_t>(n);
    }
    qx::InterfaceTable table;
    const std::vector<std::uint8_t>& data;
    std::size_t offset = 0;
};

// The tree never destroys directories; the test's root goes with the archive.
class MemoryArchive::Root final : public qx::ResourceDirectory {
public:
    explicit Root(qx::ResourceEntry* entry) : qx::ResourceDirectory(entry, 0) {}
    ~Root() = default;
};

MemoryArchive::MemoryArchive() {
    factoryTable_.addInterface("IArchiveFactory", static_cast<qx::IArchiveFactory*>(this));
    archiveTable_.addInterface("IArchive", static_cast<qx::IArchive*>(this));
    rootEntry_.type = qx::atomOf("archive/memory");
    rootEntry_.name = "root";
}

MemoryArchive::~MemoryArchive() = default;

qx::ResourceEntry* MemoryArchive::addImage(const std::string& name,
                                           const qx::BitmapDescription& record,
                                           std::vector<std::uint8_t> content) {
    Record r{};
    r.picture = record;
    return add(name, "image", r, std::move(content));
}

qx::ResourceEntry* MemoryArchive::addSound(const std::string& name,
                                           const qx::SoundDescription& record,
                                           std::vector<std::uint8_t> content) {
    Record r{};
    r.sound = record;
    return add(name, "sound", r, std::move(content));
}

qx::ResourceEntry* MemoryArchive::add(const std::string& name, const char* type,
                                      const Record& record, std::vector<std::uint8_t> content) {
    Item& item = items_.emplace_back();
    item.name = name;
    item.label = "label of " + name;
    item.record = record;
    item.content = std::move(content);
    item.entry.type = qx::atomOf(type);
    item.entry.name = item.name.c_str();
    item.entry.description = item.label.c_str();
    // The archive's own word of an entry holds its index.
    item.entry.reserved = reinterpret_cast<void*>(items_.size() - 1);
    return root()->find(name.c_str());
}

qx::ResourceDirectory* MemoryArchive::root() {
    if (!root_) {
        root_ = std::make_unique<Root>(&rootEntry_);
    }
    return root_.get();
}

MemoryArchive::Item* MemoryArchive::itemOf(const qx::ResourceEntry* entry) {
    const auto index = entry != nullptr ? reinterpret_cast<std::size_t>(entry->reserved) : ~0u;
    return index < items_.size() && &items_[index].entry == entry ? &items_[index] : nullptr;
}

qx::ResourceEntry* MemoryArchive::nextEntry(qx::ResourceEntry* previous) {
    const std::size_t next =
        previous != nullptr ? reinterpret_cast<std::size_t>(previous->reserved) + 1 : 0;
    return next < items_.size() ? &items_[next].entry : nullptr;
}

qx::Handle MemoryArchive::entryHandle(qx::ResourceEntry* entry) {
    Item* item = itemOf(entry);
    return item != nullptr ? reinterpret_cast<qx::Handle>(&item->record) : 0;
}

qx::InterfaceTable* MemoryArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    Item* item = itemOf(entry);
    if (item == nullptr) {
        return nullptr;
    }
    readers_.push_back(std::make_unique<Reader>(item->content));
    return &readers_.back()->table;
}

void MemoryArchive::closeReader(qx::InterfaceTable* reader) {
    std::erase_if(readers_, [reader](const auto& r) { return &r->table == reader; });
}

} // namespace qxtest
