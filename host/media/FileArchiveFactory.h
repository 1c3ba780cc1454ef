// An archive factory for one kind of file: it reads the file through the stream it is
// given and decodes it into a single-entry archive. A file that cannot be decoded gets one
// error line in the host log naming the file, and an archive without entries.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/SingleEntryArchive.h"
#include "runtime/Host.h"

namespace qxhost {

class FileArchiveFactory : public qx::IArchiveFactory {
public:
    FileArchiveFactory(Host& host, const char* objectName);
    FileArchiveFactory(const FileArchiveFactory&) = delete;
    FileArchiveFactory& operator=(const FileArchiveFactory&) = delete;
    virtual ~FileArchiveFactory() = default;

    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) final;

    qx::InterfaceTable* table() { return &table_; }
    // The archive behind a table this factory returned, or null.
    SingleEntryArchive* archiveOf(const qx::InterfaceTable* table) const;

    // Files larger than this are refused.
    static constexpr std::size_t kLargestFile = 64 * 1024 * 1024;

protected:
    // Fills the archive from the file's bytes, or answers false with the reason. A warning
    // reports something wrong that did not stop the decoding.
    virtual bool decode(const std::vector<std::uint8_t>& bytes, const std::string& label,
                        SingleEntryArchive& archive, std::string& error, std::string& warning) = 0;

    Host& host_;

private:
    qx::InterfaceTable table_;
    // Archives live as long as the resource tree that opened them, so the factory keeps
    // them until it goes away.
    std::vector<std::unique_ptr<SingleEntryArchive>> archives_;
};

} // namespace qxhost
