// The contract declares a few members of shared records out of line. The module defines
// its own copies and exports none, so a host defines those its own objects use: interface
// tables and their registry entries, and the root of the resource tree.
#include <cstdlib>
#include <cstring>

#include "MinimalHost.h"

namespace qx {

bool namesEqual(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(*a) != lower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

// Entries are allocated by the side that adds them and freed by that side's removeTable.
void addEntry(InterfaceRegistry* registry, const char* objectName, const char* interfaceName,
              InterfaceTable* table, void* pointer) {
    auto* entry =
        new RegistryEntry{table, pointer, objectName != nullptr ? objectName : "<unnamed>",
                          interfaceName, registry->head};
    registry->head = entry;
    registry->cursor = entry;
}

void removeTable(InterfaceRegistry* registry, InterfaceTable* table) {
    for (RegistryEntry** link = &registry->head; *link != nullptr;) {
        RegistryEntry* entry = *link;
        if (entry->table == table) {
            *link = entry->next;
            delete entry;
        } else {
            link = &entry->next;
        }
    }
    registry->cursor = registry->head;
}

void InterfaceTable::addInterface(const char* interfaceName, void* pointer) {
    auto* grown = static_cast<InterfacePair*>(
        std::realloc(pairs_, sizeof(InterfacePair) * static_cast<std::size_t>(count_ + 1)));
    if (grown == nullptr) {
        return;
    }
    pairs_ = grown;
    const std::size_t length = std::strlen(interfaceName) + 1;
    pairs_[count_].name = static_cast<char*>(std::malloc(length));
    if (pairs_[count_].name != nullptr) {
        std::memcpy(pairs_[count_].name, interfaceName, length);
    }
    pairs_[count_].pointer = pointer;
    ++count_;
    addEntry(minimal::host().interfaceRegistry(), objectName_, interfaceName, this, pointer);
}

void* InterfaceTable::getInterface(const char* interfaceName) const {
    for (std::int32_t i = 0; i < count_; ++i) {
        if (namesEqual(pairs_[i].name, interfaceName)) {
            return pairs_[i].pointer;
        }
    }
    return nullptr;
}

void InterfaceTable::teardown() {
    if (count_ > 0) {
        removeTable(minimal::host().interfaceRegistry(), this);
    }
    for (std::int32_t i = 0; i < count_; ++i) {
        std::free(pairs_[i].name);
    }
    std::free(pairs_);
    pairs_ = nullptr;
    count_ = 0;
}

// Empty: the module appends the directories it opens below the root with its own C runtime.
// The destructor runs only if the root's construction fails, while the array is still empty.
PointerArray::PointerArray() : data_(nullptr), capacity_(0), count_(0) {}
PointerArray::~PointerArray() { std::free(data_); }

// The root opens its entry as an archive the way every directory does: the factory named
// after "archive/" in the entry's type. Scenes look below it through the module's own code.
ResourceDirectory::ResourceDirectory(ResourceEntry* entry, Handle handle)
    : entry_(entry), handle_(handle), parent_(entry->parent) {
    const char* type = minimal::host().nameOf(entry->type);
    const char* factoryName = type != nullptr ? std::strchr(type, '/') : nullptr;
    archiveFactory_ = factoryName != nullptr
                          ? static_cast<IArchiveFactory*>(minimal::host().findInterface(
                                factoryName + 1, qx::kIArchiveFactoryName))
                          : nullptr;
    archiveObject_ =
        archiveFactory_ != nullptr ? archiveFactory_->create(entry, handle, nullptr) : nullptr;
    archive_ = archiveObject_ != nullptr
                   ? static_cast<IArchive*>(archiveObject_->getInterface(qx::kIArchiveName))
                   : nullptr;
}

// Scenes ask the root for top-level entries by name ("choice"); the entry is marked as
// listed by the root, which is how the module knows where to open it.
ResourceEntry* ResourceDirectory::find(const char* path) {
    for (ResourceEntry* entry = archive_ != nullptr ? archive_->nextEntry(nullptr) : nullptr;
         entry != nullptr; entry = archive_->nextEntry(entry)) {
        if (namesEqual(entry->name, path)) {
            entry->parent = this;
            return entry;
        }
    }
    minimal::host().log(1, "missing resource:<<%s>>\n", path);
    return nullptr;
}

} // namespace qx
