// An archive over entries held in memory, published as "IArchiveFactory" under its object
// name ("memory" unless given), with a root directory over it. A name with a slash, such as
// "qmark.png/image", is an entry "qmark.png" that opens as an archive holding one entry
// "image", as picture files do in the game's data. A folder entry opens another
// MemoryArchive, which must outlive this one.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "qx/bitmap.h"
#include "qx/resources.h"
#include "qx/sound.h"

namespace qxtest {

class MemoryArchive final : public qx::IArchiveFactory, public qx::IArchive {
public:
    explicit MemoryArchive(const char* objectName = "memory");
    ~MemoryArchive();

    // Entries whose handle designates the record and whose content is the given bytes (for
    // pictures, packed rows of pixels); their word 2 reads "label of NAME".
    qx::ResourceEntry* addImage(const std::string& name, const qx::BitmapDescription& record,
                                std::vector<std::uint8_t> content);
    qx::ResourceEntry* addSound(const std::string& name, const qx::SoundDescription& record,
                                std::vector<std::uint8_t> content);
    // A "text" entry holding the bytes of value, without a terminating zero.
    qx::ResourceEntry* addText(const std::string& name, const std::string& value);
    // An entry that opens as the given archive.
    void addFolder(const std::string& name, MemoryArchive& folder);
    qx::ResourceDirectory* root();
    int readersOpen() const { return static_cast<int>(readers_.size()); }

    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle, qx::IStream*) override;
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override;
    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;
    void closeReader(qx::InterfaceTable* reader) override;

private:
    union Record {
        qx::BitmapDescription picture;
        qx::SoundDescription sound;
    };
    struct Single;
    struct Item {
        qx::ResourceEntry entry{};
        std::string name;
        std::string label;
        Record record{};
        std::vector<std::uint8_t> content;
        std::unique_ptr<Single> inner; // the one-entry archive of a two-part name
        void describe(const std::string& own, const std::string& full, const std::string& type);
    };
    struct Reader;

    qx::ResourceEntry* add(const std::string& name, const char* type, const Record& record,
                           std::vector<std::uint8_t> content);
    Item& append(const std::string& name, const std::string& type);
    Item* itemOf(const qx::ResourceEntry* entry);
    qx::InterfaceTable* openReaderOn(Item& item);

    std::string objectName_;
    qx::InterfaceTable factoryTable_;
    qx::InterfaceTable archiveTable_;
    std::deque<Item> items_;
    std::vector<std::unique_ptr<Reader>> readers_;
    qx::ResourceEntry rootEntry_{};
    qx::ResourceDirectory* root_ = nullptr; // freed with the directories opened below it
};

} // namespace qxtest
