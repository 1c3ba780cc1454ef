#include "support/MemoryArchive.h"

#include <algorithm>
#include <cstring>

#include "services/HostServices.h"

namespace qxtest {

struct MemoryArchive::Reader final : public qx::IRead {
    explicit Reader(const std::vector<std::uint8_t>& from) : data(from) {
        table.addInterface(qx::kIReadName, static_cast<qx::IRead*>(this));
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

// The one entry of a two-part name's archive.
struct MemoryArchive::Single final : public qx::IArchive {
    Single(MemoryArchive& archive, const std::string& objectName)
        : owner(archive), table(objectName.c_str()) {
        table.addInterface(qx::kIArchiveName, static_cast<qx::IArchive*>(this));
    }
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override {
        return previous == nullptr ? &item.entry : nullptr;
    }
    qx::Handle entryHandle(qx::ResourceEntry* entry) override {
        return entry == &item.entry ? reinterpret_cast<qx::Handle>(&item.record) : 0;
    }
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle) override {
        return entry == &item.entry ? owner.openReaderOn(item) : nullptr;
    }
    void closeReader(qx::InterfaceTable* reader) override { owner.closeReader(reader); }

    MemoryArchive& owner;
    Item item;
    qx::InterfaceTable table;
};

MemoryArchive::MemoryArchive(const char* objectName)
    : objectName_(objectName), factoryTable_(objectName_.c_str()),
      archiveTable_(objectName_.c_str()) {
    factoryTable_.addInterface(qx::kIArchiveFactoryName, static_cast<qx::IArchiveFactory*>(this));
    archiveTable_.addInterface(qx::kIArchiveName, static_cast<qx::IArchive*>(this));
    rootEntry_.type = qx::atomOf(("archive/" + objectName_).c_str());
    rootEntry_.name = "root";
}

MemoryArchive::~MemoryArchive() { qx::ResourceDirectory::destroyTree(root_); }

qx::InterfaceTable* MemoryArchive::create(qx::ResourceEntry* entry, qx::Handle, qx::IStream*) {
    Item* item = itemOf(entry);
    return item != nullptr && item->inner ? &item->inner->table : &archiveTable_;
}

qx::ResourceEntry* MemoryArchive::addImage(const std::string& name,
                                           const qx::BitmapDescription& record,
                                           std::vector<std::uint8_t> content) {
    return add(name, "image", Record{.picture = record}, std::move(content));
}

qx::ResourceEntry* MemoryArchive::addSound(const std::string& name,
                                           const qx::SoundDescription& record,
                                           std::vector<std::uint8_t> content) {
    return add(name, "sound", Record{.sound = record}, std::move(content));
}

qx::ResourceEntry* MemoryArchive::addText(const std::string& name, const std::string& value) {
    return add(name, "text", Record{}, std::vector<std::uint8_t>(value.begin(), value.end()));
}

void MemoryArchive::addFolder(const std::string& name, MemoryArchive& folder) {
    append(name, "archive/" + folder.objectName_).entry.isArchive = 1;
}

void MemoryArchive::Item::describe(const std::string& own, const std::string& full,
                                   const std::string& type) {
    name = own;
    label = "label of " + full;
    entry = {qx::atomOf(type.c_str()), 0, label.c_str(), nullptr, name.c_str(), nullptr};
}

MemoryArchive::Item& MemoryArchive::append(const std::string& name, const std::string& type) {
    Item& item = items_.emplace_back();
    item.describe(name, name, type);
    // The archive's own word of an entry holds its index.
    item.entry.reserved = reinterpret_cast<void*>(items_.size() - 1);
    return item;
}

qx::ResourceEntry* MemoryArchive::add(const std::string& name, const char* type,
                                      const Record& record, std::vector<std::uint8_t> content) {
    const std::size_t slash = name.find('/');
    Item& item = append(name.substr(0, slash),
                        slash == std::string::npos ? std::string(type) : "archive/" + objectName_);
    Item* holder = &item;
    if (slash != std::string::npos) {
        item.entry.isArchive = 1;
        item.inner = std::make_unique<Single>(*this, objectName_);
        holder = &item.inner->item;
        holder->describe(name.substr(slash + 1), name, type);
    }
    holder->record = record;
    holder->content = std::move(content);
    return root()->find(name.c_str());
}

qx::ResourceDirectory* MemoryArchive::root() {
    if (root_ == nullptr) {
        root_ = new qx::ResourceDirectory(&rootEntry_, 0);
    }
    return root_;
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
    return item != nullptr ? openReaderOn(*item) : nullptr;
}

qx::InterfaceTable* MemoryArchive::openReaderOn(Item& item) {
    readers_.push_back(std::make_unique<Reader>(item.content));
    return &readers_.back()->table;
}

void MemoryArchive::closeReader(qx::InterfaceTable* reader) {
    std::erase_if(readers_, [reader](const auto& r) { return &r->table == reader; });
}

} // namespace qxtest
