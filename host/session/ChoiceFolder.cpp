#include "session/ChoiceFolder.h"

#include "archives/ArchiveTypes.h"
#include "media/Media.h"
#include "qx/bitmap.h"
#include "qx/registry.h"
#include "services/HostServices.h"

namespace qxhost {

ChoiceFolder::ChoiceFolder(const std::string& dataPath) {
    // The host binds itself when it is made; the one bound before is bound again at the end.
    const Bound bound(qx::moduleState().host);
    host_ = std::make_unique<Host>();
    root_ = openResourceRoot(*host_, dataPath);
    addMediaArchives(*host_, *root_);
    qx::ResourceDirectory* root = root_->directory();
    qx::ResourceEntry* entry = root != nullptr ? root->find("choice") : nullptr;
    choice_ = entry != nullptr ? root->openDirectory(entry) : nullptr;
}

ChoiceFolder::~ChoiceFolder() {
    // The tree goes before its host, with its host bound.
    const Bound bound(host_.get());
    root_.reset();
    host_.reset();
}

std::vector<ChoiceFolder::Entry> ChoiceFolder::entries() const {
    std::vector<Entry> list;
    qx::IArchive* archive = choice_ != nullptr ? choice_->archive() : nullptr;
    for (qx::ResourceEntry* entry = archive != nullptr ? archive->nextEntry(nullptr) : nullptr;
         entry != nullptr; entry = archive->nextEntry(entry)) {
        const char* type = host_->atoms().nameOf(entry->type);
        list.push_back({entry->name != nullptr ? entry->name : "",
                        entry->description != nullptr ? entry->description : "",
                        type != nullptr ? type : ""});
    }
    return list;
}

const qx::ResourceEntry* ChoiceFolder::entryNamed(const char* fileName) const {
    qx::IArchive* archive = choice_ != nullptr ? choice_->archive() : nullptr;
    for (qx::ResourceEntry* entry = archive != nullptr ? archive->nextEntry(nullptr) : nullptr;
         entry != nullptr; entry = archive->nextEntry(entry)) {
        if (qx::namesEqual(entry->name, fileName)) {
            return entry;
        }
    }
    return nullptr;
}

ChoiceFolder::Picture ChoiceFolder::picture(const char* fileName) {
    const Bound bound(host_.get());
    Picture picture;
    const qx::ResourceEntry* file = entryNamed(fileName);
    if (file == nullptr) {
        return picture;
    }
    picture.path = file->description != nullptr ? file->description : "";
    const std::string path = std::string(fileName) + "/image";
    qx::ResourceEntry* image = choice_->find(path.c_str());
    if (image == nullptr) {
        const bool isFolder = file->type == host_->atoms().identifierOf(kFolderType);
        picture.status = isFolder ? Picture::Status::Folder : Picture::Status::Undecodable;
        return picture;
    }
    qx::ResourceDirectory* parent = image->parent;
    const auto* description =
        parent != nullptr
            ? reinterpret_cast<const qx::BitmapDescription*>(parent->entryHandle(image))
            : nullptr;
    if (description == nullptr) {
        picture.status = Picture::Status::Undecodable;
        return picture;
    }
    picture.status = Picture::Status::Found;
    picture.width = description->width;
    picture.height = description->height;
    picture.bitsPerPixel = description->bitsPerPixel;
    picture.frames = description->frames > 0 ? description->frames : 1;
    return picture;
}

} // namespace qxhost
