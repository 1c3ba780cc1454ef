// An archive over entries held in memory, published as "IArchiveFactory" under the object
// name "memory", and a root directory over it. Entries are listed by the root directly,
// so pictures and sounds are used without opening sub-directories.
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
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;
    ~MemoryArchive();

    // An "image" entry whose handle designates the description and whose content is the
    // packed rows of pixels.
    void addImage(const std::string& name, const qx::BitmapDescription& description,
                  std::vector<std::uint8_t> pixels, const std::string& label = "picture");
    void addSound(const std::string& name, const qx::SoundDescription& description,
                  std::vector<std::uint8_t> data);

    // The root directory (opened on first use) and an entry as the root lists it.
    qx::ResourceDirectory* root();
    qx::ResourceEntry* entry(const std::string& name);
    qx::BitmapDescription* pictureRecord(const std::string& name);

    int readersOpen() const { return readersOpen_; }
    int readersOpened() const { return readersOpened_; }

    // IArchiveFactory
    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) override;
    // IArchive
    qx::ResourceEntry* nextEntry(qx::ResourceEntry* previous) override;
    qx::Handle entryHandle(qx::ResourceEntry* entry) override;
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;
    void closeReader(qx::InterfaceTable* reader) override;

private:
    struct Item {
        qx::ResourceEntry entry{};
        std::string name;
        std::string label;
        qx::BitmapDescription picture{};
        qx::SoundDescription sound{};
        bool isSound = false;
        std::vector<std::uint8_t> content;
    };
    struct Reader;
    class Root;

    static std::size_t indexOf(const qx::ResourceEntry* entry);
    Item* itemOf(const qx::ResourceEntry* entry);

    qx::InterfaceTable factoryTable_{"memory"};
    qx::InterfaceTable archiveTable_{"memory"};
    std::deque<Item> items_;
    std::vector<std::unique_ptr<Reader>> readers_;
    qx::ResourceEntry rootEntry_{};
    std::unique_ptr<Root> root_;
    int readersOpen_ = 0;
    int readersOpened_ = 0;
};

} // namespace qxtest
