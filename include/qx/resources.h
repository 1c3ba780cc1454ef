// The resource tree: archives made by archive factories, their entries, and the
// directories that scene modules walk to find pictures, sounds and text values.
//
// Paths name an entry of the current directory, a slash, and the rest of the path inside
// that entry opened as an archive: "qmark.png/image", "clicked.wav/*".
#pragma once

#include "qx/containers.h"
#include "qx/registry.h"
#include "qx/streams.h"
#include "qx/types.h"

namespace qx {

class ResourceDirectory;
class ReadStream;

// Made by an archive, owned by it and read in place for as long as it lives; six words.
// The directory that lists an entry writes its parent word.
struct ResourceEntry {
    // Atom identifier of the type name ("text", "image"); for an entry that is itself an
    // archive, of "archive/" followed by its factory's object name.
    std::uint32_t type;
    std::uint32_t isArchive; // nonzero when the entry can be opened as an archive
    const char* description; // a descriptive string (shown in the picture timing trace)
    void* reserved;          // the archive's own word
    const char* name;
    ResourceDirectory* parent; // written by the directory that lists the entry
};

// The first four words of every description record (bitmaps, sounds).
struct ResourceDescription {
    std::uint32_t type; // identifier of "none" in an empty record
    std::uint32_t reserved[3];
};

inline constexpr const char* kIArchiveFactoryName = "IArchiveFactory";

class IArchiveFactory {
public:
    // When a directory opens an entry as an archive, the first time a lookup passes through
    // it. stream is the entry's IStream or null; entry and stream stay valid for as long as
    // the directory, which never gives the archive back. Answers the new archive object's
    // InterfaceTable (publishing "IArchive"), owned by the factory, or null.
    virtual InterfaceTable* create(ResourceEntry* entry, Handle handle, IStream* stream) = 0;

protected:
    ~IArchiveFactory() = default;
};

inline constexpr const char* kIArchiveName = "IArchive";

// Every operation may be called any time while the archive lives, for its own entries.
class IArchive {
public:
    // The entry after previous (the first for null); null after the last. Entries belong to
    // the archive and live as long as it does.
    virtual ResourceEntry* nextEntry(ResourceEntry* previous) = 0;
    // Opaque to directories; for an "image" entry it designates the BitmapDescription,
    // for a sound entry the SoundDescription. The record belongs to the archive; a bitmap
    // may write its flags word.
    virtual Handle entryHandle(ResourceEntry* entry) = 0;
    // A reader object's InterfaceTable for the entry's content, or null. The reader belongs
    // to the archive; the caller uses it until it gives it back with closeReader.
    virtual InterfaceTable* openReader(ResourceEntry* entry, Handle handle) = 0;
    // Gives a reader back, once; the archive destroys it.
    virtual void closeReader(InterfaceTable* reader) = 0;

protected:
    ~IArchive() = default;
};

inline constexpr const char* kIArchiveIndexName = "IArchiveIndex";

// Optional, published beside "IArchive" as "IArchiveIndex" by an archive that keeps its
// entries indexed: lookups then reach the entries they need without walking all of them.
// Both operations answer entries in nextEntry's order, any time while the archive lives.
class IArchiveIndex {
public:
    // The first entry after previous (from the start for null) whose name equals the
    // length characters at name (not necessarily terminated) without regard to ASCII case;
    // name is borrowed for the call.
    virtual ResourceEntry* nextNamed(ResourceEntry* previous, const char* name,
                                     std::int32_t length) = 0;
    // The first entry after previous (from the start for null) that can be opened as an
    // archive (isArchive nonzero).
    virtual ResourceEntry* nextArchive(ResourceEntry* previous) = 0;

protected:
    ~IArchiveIndex() = default;
};

// A node of the resource tree: one opened archive, the entry it was opened from and the
// sub-directories opened below it. Directories are never destroyed; the tree grows as
// resources are looked up. The host makes the root. Every operation runs on the host's
// thread; a lookup may read values through a reader and so run the host's event processing.
// Entries answered belong to their archives; names and paths given are borrowed for the call.
class ResourceDirectory {
public:
    // Opens the entry as an archive below the directory named in the entry's parent word
    // (none for a root) and appends itself to that directory's children.
    ResourceDirectory(ResourceEntry* entry, Handle handle);
    ResourceDirectory(const ResourceDirectory&) = delete;
    ResourceDirectory& operator=(const ResourceDirectory&) = delete;

    // An entry by path; logs "missing resource:<<path>>" and answers null when absent.
    virtual ResourceEntry* find(const char* path);

    // The entry's name, or "<unknown>".
    const char* name() const;
    // Appends every entry of the archive to the list, marking this directory as parent.
    void entries(PointerList& list);
    // The handle the entry's parent archive gives for it; 0 without one.
    Handle entryHandle(ResourceEntry* entry);
    // A stream on an entry listed by this directory, or null. The caller owns it until it
    // gives it back with closeStream, which also gives the reader back to the archive.
    ReadStream* openStream(ResourceEntry* entry, Handle handle);
    void closeStream(ReadStream* stream);
    // The directory of an archive entry, opened once and reused; it belongs to the tree.
    ResourceDirectory* openDirectory(ResourceEntry* entry);
    // Depth-first search for an entry by name and type name (either may be null for any),
    // starting after the given entry (null: from the start). Opens archives as it goes.
    ResourceEntry* findEntry(ResourceEntry* after, const char* entryName, const char* typeName);
    // Copies up to size bytes of the entry's content into the caller's buffer; answers the
    // count read.
    std::int32_t readData(ResourceEntry* entry, void* buffer, std::int32_t size);

    // Once, by the host at shutdown, after every scene that used the tree has been
    // destroyed: frees a whole tree from its root, closing every directory's stream.
    // Archives stay with their factories. A non-root is left alone.
    static void destroyTree(ResourceDirectory* root);

    IArchive* archive() const { return archive_; }
    ResourceEntry* entry() const { return entry_; }
    ResourceDirectory* parent() const { return parent_; }
    const PointerArray& children() const { return children_; }

protected:
    ~ResourceDirectory() = default;

private:
    struct Search;
    // A new directory for an entry of this one, or null when it could not be made or
    // adopted as a child (a directory outside the tree would never be freed).
    ResourceDirectory* openChild(ResourceEntry* entry);
    static void free(ResourceDirectory* node);
    void openArchive();
    ResourceEntry* search(Search& state);
    ResourceDirectory* childFor(const ResourceEntry* entry) const;
    // The archive's index, when it publishes one.
    IArchiveIndex* index() const;
    // The entry, marked as listed by this directory.
    ResourceEntry* listed(ResourceEntry* entry);

    IArchiveFactory* archiveFactory_ = nullptr;
    InterfaceTable* archiveObject_ = nullptr;
    IArchive* archive_ = nullptr;
    ResourceEntry* entry_ = nullptr;
    Handle handle_ = 0;
    ReadStream* stream_ = nullptr;
    ResourceDirectory* parent_ = nullptr;
    PointerArray children_;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(ResourceEntry) == 24);
QX_LAYOUT_CHECK(offsetof(ResourceEntry, name) == 16);
QX_LAYOUT_CHECK(offsetof(ResourceEntry, parent) == 20);
QX_LAYOUT_CHECK(sizeof(ResourceDescription) == 16);
QX_LAYOUT_CHECK(sizeof(ResourceDirectory) == 44);
QX_END_LAYOUT_CHECKS

} // namespace qx
