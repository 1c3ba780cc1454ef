#include <cstring>

#include "core/Memory.h"
#include "qx/resources.h"
#include "resource/ReadStream.h"
#include "services/HostServices.h"

namespace qx {

namespace {
constexpr char kArchivePrefix[] = "archive/";
constexpr std::size_t kArchivePrefixLength = sizeof kArchivePrefix - 1;

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The first `length` characters of text equal those of prefix, without regard to case.
bool startsWith(const char* text, const char* prefix, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] == '\0' || folded(text[i]) != folded(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool hasArchivePrefix(const char* typeName) {
    return startsWith(typeName, kArchivePrefix, kArchivePrefixLength);
}
} // namespace

struct ResourceDirectory::Search {
    ResourceEntry* after;
    const char* name; // null: any name
    std::int32_t nameLength;
    std::uint32_t type;
    bool anyType;
    bool collecting;

    bool matches(const ResourceEntry* entry) const {
        return (name == nullptr || namesEqual(entry->name, name)) &&
               (anyType || entry->type == type);
    }
};

ResourceDirectory::ResourceDirectory(ResourceEntry* entry, Handle handle)
    : entry_(entry), handle_(handle) {
    parent_ = entry != nullptr ? entry->parent : nullptr;
    stream_ = parent_ != nullptr ? parent_->openStream(entry, handle) : nullptr;
    openArchive();
    if (parent_ != nullptr) {
        parent_->children_.append(this);
    }
}

void ResourceDirectory::openArchive() {
    if (entry_ == nullptr) {
        return;
    }
    const char* typeName = atomName(entry_->type);
    if (typeName == nullptr) {
        typeName = "";
    }
    const char* factoryName =
        hasArchivePrefix(typeName) ? typeName + kArchivePrefixLength : typeName;

    archiveFactory_ =
        static_cast<IArchiveFactory*>(hostFindInterface(factoryName, kIArchiveFactoryName));
    if (archiveFactory_ == nullptr) {
        hostLog(kLogError, "No ArchiveFactory for %s.\n", factoryName);
        return;
    }
    archiveObject_ = archiveFactory_->create(entry_, handle_, stream_);
    if (archiveObject_ == nullptr) {
        hostLog(kLogError, "ArchiveFactory %s returned NULL.\n", factoryName);
        return;
    }
    archive_ = static_cast<IArchive*>(archiveObject_->getInterface(kIArchiveName));
    if (archive_ == nullptr) {
        hostLog(kLogError, "Archive %s has no interface.\n", factoryName);
    }
}

const char* ResourceDirectory::name() const {
    return entry_ != nullptr && entry_->name != nullptr ? entry_->name : "<unknown>";
}

void ResourceDirectory::entries(PointerList& list) {
    if (archive_ == nullptr) {
        return;
    }
    for (ResourceEntry* entry = archive_->nextEntry(nullptr); entry != nullptr;
         entry = archive_->nextEntry(entry)) {
        entry->parent = this;
        list.append(entry);
    }
}

IArchiveIndex* ResourceDirectory::index() const {
    return archive_ != nullptr
               ? static_cast<IArchiveIndex*>(archiveObject_->getInterface(kIArchiveIndexName))
               : nullptr;
}

ResourceEntry* ResourceDirectory::listed(ResourceEntry* entry) {
    if (entry != nullptr) {
        entry->parent = this;
    }
    return entry;
}

Handle ResourceDirectory::entryHandle(ResourceEntry* entry) {
    if (entry == nullptr || entry->parent == nullptr || entry->parent->archive_ == nullptr) {
        return 0;
    }
    return entry->parent->archive_->entryHandle(entry);
}

ReadStream* ResourceDirectory::openStream(ResourceEntry* entry, Handle handle) {
    if (entry == nullptr || entry->parent != this || archive_ == nullptr) {
        return nullptr;
    }
    InterfaceTable* reader = archive_->openReader(entry, handle);
    if (reader == nullptr) {
        return nullptr;
    }
    auto* stream = new (fallible) ReadStream(reader);
    if (stream == nullptr) {
        archive_->closeReader(reader);
    }
    return stream;
}

void ResourceDirectory::closeStream(ReadStream* stream) {
    if (stream == nullptr) {
        return;
    }
    if (archive_ != nullptr) {
        archive_->closeReader(stream->reader());
    }
    delete stream;
}

ResourceEntry* ResourceDirectory::find(const char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    const char* slash = std::strchr(path, '/');
    const std::size_t headLength =
        slash != nullptr ? static_cast<std::size_t>(slash - path) : std::strlen(path);
    const char* rest = slash != nullptr ? slash + 1 : nullptr;
    const bool any = headLength == 1 && path[0] == '*';
    const auto isHead = [path, headLength](const char* name) {
        return name != nullptr && startsWith(name, path, headLength) && name[headLength] == '\0';
    };

    if (rest != nullptr) {
        for (std::int32_t i = 0; i < children_.size(); ++i) {
            auto* child = static_cast<ResourceDirectory*>(children_.get(i));
            if (any || isHead(child->name())) {
                return child->find(rest);
            }
        }
    }

    ResourceEntry* found = nullptr;
    if (IArchiveIndex* byName = any ? nullptr : index()) {
        found = listed(byName->nextNamed(nullptr, path, static_cast<std::int32_t>(headLength)));
    } else {
        PointerList list;
        entries(list);
        while (auto* entry = static_cast<ResourceEntry*>(list.next())) {
            if (any || isHead(entry->name)) {
                found = entry;
                break;
            }
        }
    }
    if (found == nullptr) {
        hostLog(kLogTrace, "missing resource:<<%s>>\n", path);
        return nullptr;
    }
    if (rest == nullptr) {
        return found;
    }
    ResourceDirectory* directory = openChild(found);
    return directory != nullptr ? directory->find(rest) : nullptr;
}

ResourceDirectory* ResourceDirectory::childFor(const ResourceEntry* entry) const {
    for (std::int32_t i = 0; i < children_.size(); ++i) {
        auto* child = static_cast<ResourceDirectory*>(children_.get(i));
        if (child->entry_ == entry) {
            return child;
        }
    }
    return nullptr;
}

ResourceDirectory* ResourceDirectory::openDirectory(ResourceEntry* entry) {
    if (entry == nullptr) {
        return nullptr;
    }
    if (entry->parent != this) {
        return entry->parent != nullptr ? entry->parent->openDirectory(entry) : nullptr;
    }
    if (ResourceDirectory* child = childFor(entry)) {
        return child;
    }
    return openChild(entry);
}

ResourceDirectory* ResourceDirectory::openChild(ResourceEntry* entry) {
    auto* made = new (fallible) ResourceDirectory(entry, entryHandle(entry));
    if (made != nullptr && childFor(entry) != made) {
        free(made);
        return nullptr;
    }
    return made;
}

ResourceEntry* ResourceDirectory::findEntry(ResourceEntry* after, const char* entryName,
                                            const char* typeName) {
    Search state{after,
                 entryName,
                 entryName != nullptr ? static_cast<std::int32_t>(std::strlen(entryName)) : 0,
                 typeName != nullptr ? atomOf(typeName) : 0u,
                 typeName == nullptr,
                 after == nullptr};
    return search(state);
}

ResourceEntry* ResourceDirectory::search(Search& state) {
    // An index hands over only the entries that can matter: those of the name, and then
    // the archives. Without one, the entries are walked.
    IArchiveIndex* byName = state.name != nullptr ? index() : nullptr;
    PointerList list;
    if (byName == nullptr) {
        entries(list);
    }
    const auto nextOfName = [&](ResourceEntry* previous) {
        return byName != nullptr ? listed(byName->nextNamed(previous, state.name, state.nameLength))
                                 : static_cast<ResourceEntry*>(list.next());
    };
    const auto nextArchive = [&](ResourceEntry* previous) -> ResourceEntry* {
        if (byName != nullptr) {
            return listed(byName->nextArchive(previous));
        }
        while (auto* entry = static_cast<ResourceEntry*>(list.next())) {
            if (entry->isArchive != 0) {
                return entry;
            }
        }
        return nullptr;
    };

    for (ResourceEntry* entry = nextOfName(nullptr); entry != nullptr; entry = nextOfName(entry)) {
        if (!state.matches(entry)) {
            continue;
        }
        if (state.collecting) {
            return entry;
        }
        // Everything after the given entry is searched, in later directories too.
        if (entry == state.after) {
            state.collecting = true;
        }
    }

    for (std::int32_t i = 0; i < children_.size(); ++i) {
        if (ResourceEntry* found =
                static_cast<ResourceDirectory*>(children_.get(i))->search(state)) {
            return found;
        }
    }

    for (ResourceEntry* entry = nextArchive(nullptr); entry != nullptr;
         entry = nextArchive(entry)) {
        if (childFor(entry) != nullptr) {
            continue;
        }
        ResourceDirectory* directory = openChild(entry);
        if (directory == nullptr) {
            continue;
        }
        if (ResourceEntry* found = directory->search(state)) {
            return found;
        }
    }
    return nullptr;
}

std::int32_t ResourceDirectory::readData(ResourceEntry* entry, void* buffer, std::int32_t size) {
    if (entry == nullptr || buffer == nullptr || size <= 0 || entry->parent == nullptr) {
        return 0;
    }
    ResourceDirectory* directory = entry->parent;
    ReadStream* stream = directory->openStream(entry, directory->entryHandle(entry));
    if (stream == nullptr) {
        return 0;
    }
    const std::int32_t count = stream->read(buffer, size);
    directory->closeStream(stream);
    return count;
}

void ResourceDirectory::destroyTree(ResourceDirectory* root) {
    if (root == nullptr || root->parent_ != nullptr) {
        return;
    }
    free(root);
}

void ResourceDirectory::free(ResourceDirectory* node) {
    // Children first, so that each stream goes back to a parent archive that still exists.
    for (std::int32_t i = 0; i < node->children_.size(); ++i) {
        free(static_cast<ResourceDirectory*>(node->children_.get(i)));
    }
    if (node->parent_ != nullptr) {
        node->parent_->closeStream(node->stream_);
    }
    // Only the tree makes directories, always of this exact class.
    node->ResourceDirectory::~ResourceDirectory();
    ::operator delete(static_cast<void*>(node));
}

} // namespace qx
