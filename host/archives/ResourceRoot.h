// The root of the resource tree the host hands to scenes: a folder on disk, opened by the
// host's folder archive, with the factories that its entries need.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archives/ArchiveFactory.h"
#include "qx/resources.h"
#include "runtime/Host.h"

namespace qxhost {

// Registers the "folder" and "values" archive factories and opens the folder as the root
// directory. A path that is not a folder gives a root without entries, after a level-3
// log line naming it. One root at a time per host: its factories are found by name.
class ResourceRoot {
public:
    ResourceRoot(Host& host, const std::string& path);
    ResourceRoot(const ResourceRoot&) = delete;
    ResourceRoot& operator=(const ResourceRoot&) = delete;
    // Frees the tree, then the archives with their factories.
    ~ResourceRoot();

    qx::ResourceDirectory* directory() const { return root_; }
    const std::string& path() const { return path_; }
    // Keeps another archive factory (pictures, sounds) until after the tree is freed.
    void adopt(std::unique_ptr<ArchiveFactory> factory);

private:
    std::string path_;
    std::string name_;
    qx::ResourceEntry entry_{};
    std::vector<std::unique_ptr<ArchiveFactory>> factories_;
    qx::ResourceDirectory* root_ = nullptr;
};

std::unique_ptr<ResourceRoot> openResourceRoot(Host& host, const std::string& path);

} // namespace qxhost
