#include "media/FileArchiveFactory.h"

namespace qxhost {

FileArchiveFactory::FileArchiveFactory(Host& host, const char* objectName)
    : ArchiveFactory(host, objectName) {}

qx::InterfaceTable* FileArchiveFactory::create(qx::ResourceEntry* entry, qx::Handle,
                                               qx::IStream* stream) {
    auto archive = std::make_unique<SingleEntryArchive>(host());
    const std::string label = fileLabel(entry);
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::string warning;
    if (!readWholeStream(stream, bytes, kLargestFile, error) ||
        !decode(bytes, label, *archive, error, warning)) {
        host().report(qx::kLogError, "%s: %s: %s", table()->objectName(), label.c_str(),
                      error.c_str());
    } else if (!warning.empty()) {
        host().report(qx::kLogError, "%s: %s: %s", table()->objectName(), label.c_str(),
                      warning.c_str());
    }
    return keep(std::move(archive));
}

} // namespace qxhost
