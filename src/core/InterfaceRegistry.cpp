#include "core/Memory.h"
#include "qx/registry.h"

namespace qx {

namespace {
const char kUnnamed[] = "<unnamed>";

// ASCII only: std::tolower would follow whatever locale the host process has set.
int foldCase(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u;
}
} // namespace

bool namesEqual(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) {
        return a == b;
    }
    for (;; ++a, ++b) {
        const int ca = foldCase(*a);
        const int cb = foldCase(*b);
        if (ca != cb) {
            return false;
        }
        if (ca == 0) {
            return true;
        }
    }
}

void addEntry(InterfaceRegistry* registry, const char* objectName, const char* interfaceName,
              InterfaceTable* table, void* pointer) {
    if (registry == nullptr) {
        return;
    }
    auto* entry = static_cast<RegistryEntry*>(allocateBlock(sizeof(RegistryEntry)));
    if (entry == nullptr) {
        return;
    }
    entry->table = table;
    entry->pointer = pointer;
    entry->objectName = objectName != nullptr ? objectName : kUnnamed;
    entry->interfaceName = interfaceName;
    entry->next = registry->head;
    registry->head = entry;
    registry->cursor = entry;
}

void* findNext(InterfaceRegistry* registry, const char* interfaceName) {
    if (registry == nullptr || interfaceName == nullptr) {
        return nullptr;
    }
    if (registry->cursor == nullptr) {
        registry->cursor = registry->head;
        return nullptr;
    }
    void* result = nullptr;
    while (registry->cursor != nullptr && result == nullptr) {
        RegistryEntry* entry = registry->cursor;
        if (namesEqual(interfaceName, entry->interfaceName)) {
            result = entry->pointer;
        }
        registry->cursor = entry->next;
    }
    if (result == nullptr) {
        registry->cursor = registry->head;
    }
    return result;
}

void removeTable(InterfaceRegistry* registry, InterfaceTable* table) {
    if (registry == nullptr) {
        return;
    }
    RegistryEntry** link = &registry->head;
    while (*link != nullptr) {
        RegistryEntry* entry = *link;
        if (entry->table == table) {
            *link = entry->next;
            releaseBlock(entry);
        } else {
            link = &entry->next;
        }
    }
    registry->cursor = registry->head;
}

} // namespace qx
