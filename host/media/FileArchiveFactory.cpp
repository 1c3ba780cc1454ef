#include "media/FileArchiveFactory.h"

namespace qxhost {

FileArchiveFactory::FileArchiveFactory(Host& host, const char* objectName)
    : host_(host), table_(objectName) {
    table_.addInterface("IArchiveFactory", static_cast<qx::IArchiveFactory*>(this));
}

qx::InterfaceTable* FileArchiveFactory::create(qx::ResourceEntry* entry, qx::Handle,
                                               qx::IStream* stream) {
    auto archive = std::make_unique<SingleEntryArchive>();
    const std::string label = fileLabel(entry);
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::string warning;
    if (!readWholeStream(stream, bytes, kLargestFile, error) ||
        !decode(bytes, label, *archive, error, warning)) {
        host_.log(qx::kLogError, "%s: %s: %s", table_.objectName(), label.c_str(), error.c_str());
    } else if (!warning.empty()) {
        host_.log(qx::kLogError, "%s: %s: %s", table_.objectName(), label.c_str(), warning.c_str());
    }
    archives_.push_back(std::move(archive));
    return archives_.back()->table();
}

SingleEntryArchive* FileArchiveFactory::archiveOf(const qx::InterfaceTable* table) const {
    for (const auto& archive : archives_) {
        if (archive->table() == table) {
            return archive.get();
        }
    }
    return nullptr;
}

} // namespace qxhost
