// A folder on disk as an archive: its files are entries, its sub-folders are archive
// entries opened by the same factory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archives/ListedArchive.h"

namespace qxhost {

// The entry type a folder archive gives a file name (or a sub-folder): "archive/folder",
// "archive/pngfile", "archive/wavfile", "archive/values" or "file".
const char* folderEntryType(const std::string& fileName, bool isFolder);

// The path of the values file a folder archive of this folder lists first (its name is
// "values.txt" in any case), or empty when there is none.
std::string valuesFileIn(const std::string& folder);

// Lists the folder once, in name order without regard to case; the entries stay as they
// were listed for the archive's life. An entry's description is its path on disk.
class FolderArchive final : public ListedArchive {
public:
    FolderArchive(Host& host, const std::string& path);

    // A reader over the file; null for a sub-folder or an entry of another archive.
    qx::InterfaceTable* openReader(qx::ResourceEntry* entry, qx::Handle handle) override;

private:
    struct Entry {
        qx::ResourceEntry record;
        std::string name;
        std::string path;
        bool isFolder;
    };

    Host& host_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

// Published as "folder". Opens the folder named by the entry's description, which is
// how both the root entry and the folder archive's own entries carry their path.
class FolderArchiveFactory final : public ArchiveFactory {
public:
    explicit FolderArchiveFactory(Host& host);
    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) override;
};

} // namespace qxhost
