#include "archives/FolderArchive.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "archives/ArchiveTypes.h"

namespace qxhost {

namespace fs = std::filesystem;

namespace {
std::string lowered(const std::string& text) {
    std::string result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

// The listing's order: names without regard to case, then byte by byte.
bool listedBefore(const std::string& a, const std::string& b) {
    const std::string la = lowered(a);
    const std::string lb = lowered(b);
    return la != lb ? la < lb : a < b;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() > suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}
} // namespace

const char* folderEntryType(const std::string& fileName, bool isFolder) {
    if (isFolder) {
        return kFolderType;
    }
    const std::string name = lowered(fileName);
    if (endsWith(name, ".png")) {
        return kPngType;
    }
    if (endsWith(name, ".wav")) {
        return kWavType;
    }
    if (name == kValuesFileName) {
        return kValuesType;
    }
    return kFileType;
}

std::string valuesFileIn(const std::string& folder) {
    std::error_code error;
    std::string first;
    std::string path;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code kindError;
        if (lowered(name) == kValuesFileName && it->is_regular_file(kindError) &&
            (first.empty() || listedBefore(name, first))) {
            first = name;
            path = it->path().string();
        }
    }
    return path;
}

FolderArchive::FolderArchive(Host& host, const std::string& path) : host_(host) {
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        // Hidden files belong to tools (editors, version control), not to the game.
        if (name.empty() || name[0] == '.') {
            continue;
        }
        std::error_code kindError;
        const bool isFolder = it->is_directory(kindError);
        if (!isFolder && !it->is_regular_file(kindError)) {
            continue;
        }
        entries_.push_back(std::make_unique<Entry>(Entry{{}, name, it->path().string(), isFolder}));
    }
    if (error) {
        host_.report(qx::kLogError, "cannot list folder %s: %s\n", path.c_str(),
                     error.message().c_str());
    }

    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return listedBefore(a->name, b->name); });
    const std::uint32_t fileType = host_.atoms().identifierOf(kFileType);
    for (const auto& entry : entries_) {
        entry->record.type =
            host_.atoms().identifierOf(folderEntryType(entry->name, entry->isFolder));
        entry->record.isArchive = entry->record.type != fileType ? 1u : 0u;
        entry->record.description = entry->path.c_str();
        entry->record.name = entry->name.c_str();
        list(entry->record);
    }
}

qx::InterfaceTable* FolderArchive::openReader(qx::ResourceEntry* entry, qx::Handle) {
    const std::size_t index = indexOf(entry);
    if (index == kNotListed || entries_[index]->isFolder) {
        return nullptr;
    }
    return lend(Reader::overFile(host_, entries_[index]->path));
}

FolderArchiveFactory::FolderArchiveFactory(Host& host) : ArchiveFactory(host, kFolderFactory) {}

qx::InterfaceTable* FolderArchiveFactory::create(qx::ResourceEntry* entry, qx::Handle,
                                                 qx::IStream*) {
    if (entry == nullptr || entry->description == nullptr) {
        host().report(qx::kLogError, "folder archive: entry %s names no folder\n",
                      entry != nullptr && entry->name != nullptr ? entry->name : "<unknown>");
        return nullptr;
    }
    std::error_code error;
    if (!fs::is_directory(entry->description, error)) {
        host().report(qx::kLogError, "folder archive: cannot open %s: not a folder\n",
                      entry->description);
        return nullptr;
    }
    return keep(std::make_unique<FolderArchive>(host(), entry->description));
}

} // namespace qxhost
