#include "core/Memory.h"
#include "qx/registry.h"
#include "services/HostServices.h"

namespace qx {

void InterfaceTable::addInterface(const char* interfaceName, void* pointer) {
    // Without memory for the pair or its name the interface is simply not published.
    char* name = copyString(interfaceName);
    if (name == nullptr && interfaceName != nullptr) {
        return;
    }
    // Grown by one pair per addition: objects publish a handful of interfaces at most.
    auto* grown = static_cast<InterfacePair*>(
        resizeBlock(pairs_, sizeof(InterfacePair) * static_cast<std::size_t>(count_ + 1)));
    if (grown == nullptr) {
        releaseBlock(name);
        return;
    }
    pairs_ = grown;
    pairs_[count_].name = name;
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
            releaseBlock(pairs_[i].name);
        }
    }
    releaseBlock(pairs_);
    pairs_ = nullptr;
    count_ = 0;
}

} // namespace qx
