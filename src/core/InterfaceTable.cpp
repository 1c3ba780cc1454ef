#include <cstdlib>
#include <cstring>

#include "module/HostServices.h"
#include "qx/registry.h"

namespace qx {

namespace {
char* copyName(const char* name) {
    if (name == nullptr) {
        return nullptr;
    }
    const std::size_t length = std::strlen(name) + 1;
    auto* copy = static_cast<char*>(std::malloc(length));
    if (copy != nullptr) {
        std::memcpy(copy, name, length);
    }
    return copy;
}
} // namespace

void InterfaceTable::addInterface(const char* interfaceName, void* pointer) {
    // Grown by one pair per addition: objects publish a handful of interfaces at most.
    auto* grown = static_cast<InterfacePair*>(
        std::realloc(pairs_, sizeof(InterfacePair) * static_cast<std::size_t>(count_ + 1)));
    if (grown == nullptr) {
        return;
    }
    pairs_ = grown;
    pairs_[count_].name = copyName(interfaceName);
    pairs_[count_].pointer = pointer;
    ++count_;
    addEntry(hostRegistry(), objectName_, interfaceName, this, pointer);
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
        removeTable(hostRegistry(), this);
        for (std::int32_t i = 0; i < count_; ++i) {
            std::free(pairs_[i].name);
        }
    }
    std::free(pairs_);
    pairs_ = nullptr;
    count_ = 0;
}

} // namespace qx
