#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "archives/ArchiveTypes.h"
#include "archives/FolderArchive.h"
#include "archives/ResourceRoot.h"
#include "host_archives/TempFolder.h"
#include "qx/resources.h"
#include "runtime/Host.h"

namespace {

// Stands in for the picture decoder: a picture file holds one "image" entry. It reads the
// file through the stream it is given, as a real decoder does.
class PictureArchive final : public qxhost::ListedArchive {
public:
    PictureArchive(qxhost::Host& host, std::string content) : bytes(std::move(content)) {
        image.type = host.atoms().identifierOf("image");
        image.name = "image";
        list(image);
    }
    qx::InterfaceTable* openReader(qx::ResourceEntry*, qx::Handle) override { return nullptr; }

    qx::ResourceEntry image{};
    std::string bytes;
};

class PictureFactory final : public qxhost::ArchiveFactory {
public:
    explicit PictureFactory(qxhost::Host& host) : ArchiveFactory(host, qxhost::kPngFactory) {}
    qx::InterfaceTable* create(qx::ResourceEntry*, qx::Handle, qx::IStream* stream) override {
        ++created;
        char data[64] = {};
        qx::StreamReadRequest request{data, sizeof data, 0};
        if (stream == nullptr || stream->control(qx::kStreamRead, &request) != 1) {
            return nullptr;
        }
        return keep(std::make_unique<PictureArchive>(host(), std::string(data, request.count)));
    }
    int created = 0;
};

// A factory whose archive objects do not publish IArchive.
class BrokenFactory final : public qxhost::ArchiveFactory {
public:
    explicit BrokenFactory(qxhost::Host& host) : ArchiveFactory(host, "broken") {}
    qx::InterfaceTable* create(qx::ResourceEntry*, qx::Handle, qx::IStream*) override {
        return keep(std::make_unique<qxhost::ArchiveObject>());
    }
};

std::string textOf(qx::ResourceEntry* entry, std::int32_t size = 31) {
    if (entry == nullptr || entry->parent == nullptr) {
        return "<none>";
    }
    char buffer[32] = {};
    const std::int32_t count = entry->parent->readData(entry, buffer, size);
    return std::string(buffer, static_cast<std::size_t>(count > 0 ? count : 0));
}

class ResourceTree : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        host.setSetting(qxhost::kAsyncReadersSetting, GetParam() ? "1" : "0");
        folder.write("choice/values.txt", "# layout\nshowframes = 1\nporte01 = 10, 20\n");
        folder.write("choice/qmark.png", "question");
        folder.write("choice/manche01.png", "round one");
        folder.write("choice/Notes.txt", "hello there");
        folder.write("choice/sub/deeper/values.txt", "depth = 3\n");
        folder.write("readme.txt", "top");
        root = qxhost::openResourceRoot(host, folder.path());
        auto* pictures = new PictureFactory(host);
        root->adopt(std::unique_ptr<qxhost::ArchiveFactory>(pictures));
        this->pictures = pictures;
        top = root->directory();
    }

    qx::ResourceDirectory* choice() { return top->openDirectory(top->find("choice")); }
    std::size_t openReaders(qx::ResourceDirectory* directory) {
        return static_cast<qxhost::ListedArchive*>(directory->archive())->openReaders();
    }

    qxhost::Host host;
    qxtest::TempFolder folder;
    std::unique_ptr<qxhost::ResourceRoot> root;
    PictureFactory* pictures = nullptr;
    qx::ResourceDirectory* top = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Readers, ResourceTree, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Async" : "Blocking"; });

TEST_P(ResourceTree, StarNamesTheFirstEntryAtAnyLevel) {
    qx::ResourceEntry* first = top->find("*");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->name, "choice");
    EXPECT_EQ(first->parent, top);

    qx::ResourceEntry* inner = top->find("*/*");
    ASSERT_NE(inner, nullptr);
    EXPECT_STREQ(inner->name, "manche01.png");
}

TEST_P(ResourceTree, PathsGoThroughAnOpenedChildWithoutOpeningItAgain) {
    qx::ResourceEntry* picture = top->find("CHOICE/qmark.png/Image");
    ASSERT_NE(picture, nullptr);
    EXPECT_STREQ(picture->name, "image");
    EXPECT_EQ(top->children().size(), 1);
    EXPECT_EQ(pictures->created, 1);

    EXPECT_EQ(top->find("choice/qmark.png/image"), picture);
    EXPECT_EQ(top->find("choice/manche01.png/image")->parent->parent(), picture->parent->parent());
    EXPECT_EQ(top->children().size(), 1);
    EXPECT_EQ(pictures->created, 2);

    // The decoder got the file's bytes through the stream that the directory opened.
    auto* archive = static_cast<PictureArchive*>(picture->parent->archive());
    EXPECT_EQ(archive->bytes, "question");
}

TEST_P(ResourceTree, MissingResourceLogsTheWholePathItWasGiven) {
    qx::ResourceDirectory* scene = choice();
    EXPECT_EQ(scene->find("manche02.png/image"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "missing resource:<<manche02.png/image>>\n"));

    EXPECT_EQ(scene->find("qmark.png/picture"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "missing resource:<<picture>>\n"));
    EXPECT_EQ(scene->find(nullptr), nullptr);
}

TEST_P(ResourceTree, TextValueIsFoundThroughTheUnopenedValuesFile) {
    qx::ResourceDirectory* scene = choice();
    EXPECT_EQ(scene->children().size(), 0);

    qx::ResourceEntry* showframes = scene->findEntry(nullptr, "showframes", "text");
    ASSERT_NE(showframes, nullptr);
    qx::ResourceEntry* porte = scene->findEntry(nullptr, "PORTE01", "text");
    EXPECT_EQ(scene->findEntry(nullptr, "showframes", "image"), nullptr);

    // Directories opened on files keep their stream; reading a value opens and closes one.
    const std::size_t held = openReaders(scene);
    EXPECT_EQ(textOf(showframes), "1");
    EXPECT_EQ(textOf(porte), "10, 20");
    EXPECT_EQ(openReaders(scene), held);
    EXPECT_EQ(openReaders(showframes->parent), 0u);
    EXPECT_EQ(host.log().count("emulating blocking read\n"), GetParam() ? 2u : 0u);

    // The values file stays open in the tree and serves the next lookup directly.
    qx::ResourceDirectory* values = scene->openDirectory(scene->find("values.txt"));
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(showframes->parent, values);
    EXPECT_EQ(values->findEntry(nullptr, "showframes", "text"), showframes);
}

TEST_P(ResourceTree, NestedFoldersAreSearchedDepthFirstAndRead) {
    qx::ResourceEntry* depth = top->findEntry(nullptr, "depth", nullptr);
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(textOf(depth), "3");
    EXPECT_STREQ(depth->parent->parent()->name(), "deeper");

    qx::ResourceEntry* notes = top->find("choice/notes.txt");
    ASSERT_NE(notes, nullptr);
    EXPECT_STREQ(notes->description, folder.at("choice/Notes.txt").c_str());
    const std::size_t held = openReaders(notes->parent);
    EXPECT_EQ(textOf(notes), "hello there");
    EXPECT_EQ(textOf(notes, 5), "hello");
    EXPECT_EQ(openReaders(notes->parent), held);
}

TEST_P(ResourceTree, OpenDirectoryGivesTheSameDirectoryEveryTime) {
    qx::ResourceEntry* entry = top->find("choice");
    qx::ResourceDirectory* scene = top->openDirectory(entry);
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(top->openDirectory(entry), scene);
    EXPECT_EQ(scene->openDirectory(entry), scene); // asked of another directory
    EXPECT_EQ(top->children().size(), 1);
    EXPECT_EQ(scene->parent(), top);
    EXPECT_EQ(top->openDirectory(nullptr), nullptr);

    qx::ResourceEntry orphan{};
    EXPECT_EQ(top->openDirectory(&orphan), nullptr);
}

TEST_P(ResourceTree, ReadDataRefusesWhatItCannotRead) {
    qx::ResourceEntry* notes = top->find("choice/notes.txt");
    char buffer[8];
    EXPECT_EQ(top->readData(nullptr, buffer, 8), 0);
    EXPECT_EQ(top->readData(notes, nullptr, 8), 0);
    EXPECT_EQ(top->readData(notes, buffer, 0), 0);
    qx::ResourceEntry orphan{};
    EXPECT_EQ(top->readData(&orphan, buffer, 8), 0);
    // A folder has no content to read.
    EXPECT_EQ(top->readData(top->find("choice/sub"), buffer, 8), 0);
    // Streams open only on entries that the directory itself lists.
    EXPECT_EQ(top->openStream(notes, 0), nullptr);
}

class ResourceSearch : public ::testing::Test {
protected:
    qxhost::Host host;
    qxtest::TempFolder folder;
};

TEST_F(ResourceSearch, SearchAfterAnEntryContinuesIntoLaterDirectories) {
    folder.write("a/values.txt", "x = first\nx = second\ny = other\n");
    folder.write("b/values.txt", "x = third\n");
    auto root = qxhost::openResourceRoot(host, folder.path());
    qx::ResourceDirectory* top = root->directory();

    qx::ResourceEntry* first = top->findEntry(nullptr, "x", "text");
    qx::ResourceEntry* second = top->findEntry(first, "x", "text");
    qx::ResourceEntry* third = top->findEntry(second, "x", "text");
    EXPECT_EQ(textOf(first), "first");
    EXPECT_EQ(textOf(second), "second");
    EXPECT_EQ(textOf(third), "third");
    EXPECT_EQ(top->findEntry(third, "x", "text"), nullptr);

    // An entry that does not match never starts the collection.
    qx::ResourceEntry* other = top->findEntry(nullptr, "y", nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(top->findEntry(other, "x", "text"), nullptr);
    // Any name: the entry right after the given one.
    EXPECT_EQ(top->findEntry(first, nullptr, "text"), second);
}

TEST_F(ResourceSearch, ArchivePrefixSelectsTheFactoryInAnyCase) {
    folder.write("values.txt", "answer = 42\n");
    qxhost::ResourceRoot factories(host, folder.path());

    qx::ResourceEntry entry{};
    entry.type = host.atoms().identifierOf("ARCHIVE/Folder");
    entry.description = folder.path().c_str();
    entry.name = "data";
    auto* top = new qx::ResourceDirectory(&entry, 0);
    EXPECT_EQ(textOf(top->findEntry(nullptr, "answer", "text")), "42");
    EXPECT_TRUE(host.log().lines().empty());
    qx::ResourceDirectory::destroyTree(top);
}

TEST_F(ResourceSearch, ArchivesThatCannotOpenAreLoggedAndLeaveEmptyDirectories) {
    folder.write("notes.txt", "plain");
    folder.write("lost.wav", "no sound factory here");
    auto root = qxhost::openResourceRoot(host, folder.path());
    BrokenFactory broken(host);
    qx::ResourceDirectory* top = root->directory();

    EXPECT_EQ(top->find("lost.wav/sound"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "No ArchiveFactory for wavfile.\n"));
    EXPECT_EQ(top->find("notes.txt/x"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "No ArchiveFactory for file.\n"));

    const auto openAs = [&](const char* type, const char* path) {
        qx::ResourceEntry entry{};
        entry.type = host.atoms().identifierOf(type);
        entry.description = path;
        entry.name = "odd";
        auto* directory = new qx::ResourceDirectory(&entry, 0);
        EXPECT_EQ(directory->archive(), nullptr) << type;
        EXPECT_EQ(directory->findEntry(nullptr, nullptr, nullptr), nullptr);
        qx::ResourceDirectory::destroyTree(directory);
    };
    openAs("archive/folder", folder.at("notes.txt").c_str());
    EXPECT_TRUE(host.log().contains(qx::kLogError, "ArchiveFactory folder returned NULL.\n"));
    openAs("Archive/broken", nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "Archive broken has no interface.\n"));
    // The scene keeps looking things up; the failures above are not retried or cached.
    EXPECT_EQ(textOf(top->find("notes.txt")), "plain");
}

TEST_F(ResourceSearch, DestroyTreeFreesOnlyFromTheRoot) {
    folder.write("a/b/values.txt", "v = 1\n");
    auto root = qxhost::openResourceRoot(host, folder.path());
    qx::ResourceDirectory* top = root->directory();
    ASSERT_NE(top->findEntry(nullptr, "v", "text"), nullptr);
    qx::ResourceDirectory* a = top->openDirectory(top->find("a"));
    qx::ResourceDirectory::destroyTree(a); // not a root: left in place
    EXPECT_EQ(top->openDirectory(top->find("a")), a);
    EXPECT_EQ(textOf(top->findEntry(nullptr, "v", "text")), "1");
}

} // namespace
