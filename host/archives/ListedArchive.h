// The part shared by the host's archives whose entries are fixed when the archive opens:
// walking the entries, and lending readers until they are given back.
#pragma once

#include <memory>
#include <vector>

#include "archives/ArchiveFactory.h"
#include "archives/Reader.h"

namespace qxhost {

class ListedArchive : public ArchiveObject, public qx::IArchive {
public:
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override;
    // The entries of these archives need no handle: the entry itself says everything.
    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    void closeReader(qx::InterfaceTable* reader) override;

    std::size_t openReaders() const { return readers_.size(); }

protected:
    static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);

    ListedArchive();
    // Appends a record that stays where it is for the archive's life.
    void list(qx::ResourceEntry& record);
    // The record's position in the list, or kNotListed for an entry of another archive.
    std::size_t indexOf(const qx::ResourceEntry* entry) const;
    // Keeps the reader until closeReader; answers its table.
    qx::InterfaceTable* lend(std::unique_ptr<Reader> reader);

private:
    std::vector<qx::ResourceEntry*> records_;
    std::vector<std::unique_ptr<Reader>> readers_;
};

} // namespace qxhost
