// An archive over one decoded file: no entries when the file could not be decoded,
// otherwise exactly one, whose handle designates its description record and whose
// readers give the decoded bytes (asynchronously only when the host asks for that).
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "archives/ListedArchive.h"
#include "qx/bitmap.h"
#include "qx/sound.h"

namespace qxhost {

using EntryRecord = std::variant<qx::BitmapDescription, qx::SoundDescription>;

class SingleEntryArchive final : public ListedArchive {
public:
    explicit SingleEntryArchive(Host& host);

    // Gives the archive its entry; description is the string shown for it (word 2).
    void setEntry(std::uint32_t type, std::string name, std::string description, EntryRecord record,
                  std::string content);

    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;

private:
    Host& host_;
    bool hasEntry_ = false;
    qx::ResourceEntry entry_{};
    std::string name_;
    std::string description_;
    EntryRecord record_;
    std::string content_;
};

// The file an archive entry stands for, for messages: its description, else its name.
std::string fileLabel(const qx::ResourceEntry* entry);

// Reads a stream to its end through its control operation. Fails (with the reason in
// error) on a missing stream, a refused read, or more than limit bytes.
bool readWholeStream(qx::IStream* stream, std::vector<std::uint8_t>& bytes, std::size_t limit,
                     std::string& error);

} // namespace qxhost
