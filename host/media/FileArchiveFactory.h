// An archive factory for one kind of file: it reads the file through the stream it is
// given and decodes it into a single-entry archive. A file that cannot be decoded gets one
// error line in the host log naming the file, and an archive without entries.
#pragma once

#include <string>
#include <vector>

#include "archives/ArchiveFactory.h"
#include "archives/HostFile.h"
#include "media/SingleEntryArchive.h"

namespace qxhost {

class FileArchiveFactory : public ArchiveFactory {
public:
    FileArchiveFactory(Host& host, const char* objectName);

    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) final;

protected:
    // Fills the archive from the file's bytes, or answers false with the reason. A warning
    // reports something wrong that did not stop the decoding.
    virtual bool decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                        SingleEntryArchive& archive, std::string& error, std::string& warning) = 0;
};

} // namespace qxhost
