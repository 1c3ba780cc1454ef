// An archive over entries held in memory, published as "IArchiveFactory" under the object
// name "memory", with a root directory over it. Entries are found by the root directly, so
// pictures and sounds are used without opening sub-directories.
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
    MemoryArchive();
    ~MemoryArchive();

    // Entries whose handle designates the record and whose content is the given bytes (for
    // pictures, packed rows of pixels); their word 2 reads "label of NAME".
    qx::ResourceEntry* addImage(const std::string& name, const qx::BitmapDescription& record,
                                std::vector<std::uint8_t> content);
    qx::ResourceEntry* addSound(const std::string& name, const qx::SoundDescription& record,
                                std::vector<std::uint8_t> content);
    qx::ResourceDirectory* root();
    int readersOpen() const { return static_cast<int>(readers_.size()); }

    qx::InterfaceTable* create(qx::ResourceEntry*, qx::Handle, qx::IStream*) override {
        return &archiveTable_;
    }
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override;
    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;
    void closeReader(qx::InterfaceTable* reader) override;

private:
    union Record {
        qx::BitmapDescription picture;
        qx::SoundDescription sound;
    };
    struct Item {
        qx::ResourceEntry entry{};
        std::string name;
        std::string label;
        Record record{};
        std::vector<std::uint8_t> content;
    };
    struct Reader;
    class Root;

    qx::ResourceEntry* add(const std::string& name, const char* type, const Record& record,
                           std::vector<std::uint8_t> content);
    Item* itemOf(const qx::ResourceEntry* entry);

    qx::InterfaceTable factoryTable_{"memory"};
    qx::InterfaceTable archiveTable_{"memory"};
    std::deque<Item> items_;
    std::vector<std::unique_ptr<Reader>> readers_;
    qx::ResourceEntry rootEntry_{};
    std::unique_ptr<Root> root_;
};

} // namespace qxtest
