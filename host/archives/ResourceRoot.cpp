#include "archives/ResourceRoot.h"

#include <filesystem>

#include "archives/ArchiveTypes.h"
#include "archives/FolderArchive.h"
#include "archives/ValuesArchive.h"

namespace qxhost {

ResourceRoot::ResourceRoot(Host& host, const std::string& path) : path_(path) {
    name_ = std::filesystem::path(path).lexically_normal().filename().string();
    if (name_.empty()) {
        name_ = std::filesystem::path(path).lexically_normal().parent_path().filename().string();
    }
    factories_.push_back(std::make_unique<FolderArchiveFactory>(host));
    factories_.push_back(std::make_unique<ValuesArchiveFactory>(host));

    entry_.type = host.atoms().identifierOf(kFolderType);
    entry_.isArchive = 1;
    entry_.description = path_.c_str();
    entry_.name = name_.c_str();
    entry_.parent = nullptr;
    root_ = new qx::ResourceDirectory(&entry_, 0);
}

ResourceRoot::~ResourceRoot() {
    qx::ResourceDirectory::destroyTree(root_);
    root_ = nullptr;
    while (!factories_.empty()) {
        factories_.pop_back();
    }
}

void ResourceRoot::adopt(std::unique_ptr<ArchiveFactory> factory) {
    if (factory != nullptr) {
        factories_.push_back(std::move(factory));
    }
}

std::unique_ptr<ResourceRoot> openResourceRoot(Host& host, const std::string& path) {
    return std::make_unique<ResourceRoot>(host, path);
}

} // namespace qxhost
