#include "support/MemoryArchive.h"

#include <algorithm>
#include <cstring>

#include "module/HostServices.h"

namespace qxtest {

struct MemoryArchive::Reader final : public qx::IRead {
    Reader(const std::vector<std::uint8_t>& from) : data(from) {
        table.addInterface("IRead", static_cast<qx::IRead*>(this));
    }
    std::int32_t read(void* buffer, std::int32_t size) override {
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(size), data.size() - offset);
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

// The tree never destroys directories; the test's root is destroyed with the archive.
class MemoryArchive::Root final : public qx::ResourceDirectory {
public:
    explicit Root(qx::ResourceEntry* entry) : qx::ResourceDirectory(entry, 0) {}
    ~Root() = default;
};

MemoryArchive::MemoryArchive() {
    factoryTable_.addInterface("IArchiveFactory", static_cast<qx::IArchiveFactory*>(this));
    archiveTable_.addInterface("IArchive", static_cast<qx::IArchive*>(this));
    rootEntry_.type = qx::atomOf("archive/memory");
    rootEntry_.isArchive = 1;
    rootEntry_.name = "root";
}

MemoryArchive::~MemoryArchive() = default;

void MemoryArchive::addImage(const std::string& name, const qx::BitmapDescription& description,
                             std::vector<std::uint8_t> pixels, const std::string& label) {
    Item& item = items_.emplace_back();
    item.name = name;
    item.label = label;
    item.picture = description;
    item.content = std::move(pixels);
    item.entry.type = qx::atomOf("image");
    item.entry.reserved = reinterpret_cast<void*>(items_.size() - 1);
}

void MemoryArchive::addSound(const std::string& name, const qx::SoundDescription& description,
                             std::vector<std::uint8_t> data) {
    Item& item = items_.emplace_back();
    item.name = name;
    item.label = name;
    item.sound = description;
    item.isSound = true;
    item.content = std::move(data);
    item.entry.type = qx::atomOf("sound");
    item.entry.reserved = reinterpret_cast<void*>(items_.size() - 1);
}

qx::ResourceDirectory* MemoryArchive::root() {
    if (!root_) {
        root_ = std::make_unique<Root>(&rootEntry_);
    }
    return root_.get();
}

qx::ResourceEntry* MemoryArchive::entry(const std::string& name) {
    qx::PointerList list;
    root()->entries(list);
    while (auto* e = static_cast<qx::ResourceEntry*>(list.next())) {
        if (name == e->name) {
            return e;
        }
    }
    return nullptr;
}

qx::BitmapDescription* MemoryArchive::pictureRecord(const std::string& name) {
    for (Item& item : items_) {
        if (item.name == name) {
            return &item.picture;
        }
    }
    return nullptr;
}

// The archive's own word of an entry holds its index.
std::size_t MemoryArchive::indexOf(const qx::ResourceEntry* entry) {
    return reinterpret_cast<std::size_t>(entry->reserved);
}

MemoryArchive::Item* MemoryArchive::itemOf(const qx::ResourceEntry* entry) {
    const std::size_t index = entry != nullptr ? indexOf(entry) : items_.size();
    return index < items_.size() && &items_[index].entry == entry ? &items_[index] : nullptr;
}

qx::InterfaceTable* MemoryArchive::create(qx::ResourceEntry*, qx::Handle, qx::IStream*) {
    return &archiveTable_;
}

qx::ResourceEntry* MemoryArchive::nextEntry(qx::ResourceEntry* previous) {
    const std::size_t next = previous != nullptr ? indexOf(previous) + 1 : 0;
    if (next >= items_.size()) {
        return nullptr;
    }
    Item& item = items_[next];
    item.entry.name = item.name.c_str();
    item.entry.description = item.label.c_str();
    return &item.entry;
}

qx::Handle MemoryArchive::entryHandle(qx::ResourceEntry* entry) {
    Item* item = itemOf(entry);
    if (item == nullptr) {
        return 0;
    }
    return item->isSound ? reinterpret_cast<qx::Handle>(&item->sound)
                         : reinterpret_cast<qx::Handle>(&item->picture);
}

qx::InterfaceTable* MemoryArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    Item* item = itemOf(entry);
    if (item == nullptr) {
        return nullptr;
    }
    readers_.push_back(std::make_unique<Reader>(item->content));
    ++readersOpen_;
    ++readersOpened_;
    return &readers_.back()->table;
}

void MemoryArchive::closeReader(qx::InterfaceTable* reader) {
    auto found = std::find_if(readers_.begin(), readers_.end(),
                              [reader](const auto& r) { return &r->table == reader; });
    if (found != readers_.end()) {
        readers_.erase(found);
        --readersOpen_;
    }
}

} // namespace qxtest
