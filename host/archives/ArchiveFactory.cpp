#include "archives/ArchiveFactory.h"

namespace qxhost {

ArchiveFactory::ArchiveFactory(Host& host, const char* objectName)
    : host_(host), table_(objectName) {
    table_.addInterface(qx::kIArchiveFactoryName, static_cast<qx::IArchiveFactory*>(this));
}

qx::InterfaceTable* ArchiveFactory::keep(std::unique_ptr<ArchiveObject> archive) {
    if (archive == nullptr) {
        return nullptr;
    }
    archives_.push_back(std::move(archive));
    return archives_.back()->table();
}

} // namespace qxhost
