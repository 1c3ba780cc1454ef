// The part shared by the host's archives whose entries are fixed when the archive opens:
// walking the entries, and lending readers until they are given back.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archives/ArchiveFactory.h"
#include "archives/Reader.h"

namespace qxhost {

// Publishes "IArchive" and "IArchiveIndex": a lookup by name costs the same however many
// entries the archive holds.
class ListedArchive : public ArchiveObject, public qx::IArchive, public qx::IArchiveIndex {
public:
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override;
    // The entries of these archives need no handle: the entry itself says everything.
    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    void closeReader(qx::InterfaceTable* reader) override;

    qx::ResourceEntry* nextNamed(qx::ResourceEntry* previous, const char* name,
                                 std::int32_t length) override;
    qx::ResourceEntry* nextArchive(qx::ResourceEntry* previous) override;

    std::size_t openReaders() const { return readers_.size(); }

protected:
    static constexpr std::size_t kNotListed = static_cast<std::size_t>(-1);

    ListedArchive();
    // Appends a record that stays where it is for the archive's life; its name and whether
    // it is an archive are indexed now.
    void list(qx::ResourceEntry& record);
    // The record's position in the list, or kNotListed for an entry of another archive.
    std::size_t indexOf(const qx::ResourceEntry* entry) const;
    // Keeps the reader until closeReader; answers its table.
    qx::InterfaceTable* lend(std::unique_ptr<Reader> reader);

private:
    // Positions of records_ after previous, whose record answers keep; null when none.
    qx::ResourceEntry* after(const std::vector<std::size_t>& positions,
                             qx::ResourceEntry* previous) const;

    std::vector<qx::ResourceEntry*> records_;
    std::vector<std::unique_ptr<Reader>> readers_;
    // Positions of the records by name folded to lower case, and of those that are archives.
    std::unordered_map<std::string, std::vector<std::size_t>> byName_;
    std::vector<std::size_t> archives_;
};

} // namespace qxhost
