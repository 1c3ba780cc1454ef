#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "archives/ArchiveTypes.h"
#include "archives/ListedArchive.h"
#include "archives/ResourceRoot.h"
#include "host_archives/TempFolder.h"
#include "runtime/Host.h"

namespace {

// Stands in for the picture decoder: a picture file is an archive with one "image" entry.
// Like a real decoder it reads the file through the stream it is given.
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

// Published under any name; "broken" hands out archives without IArchive.
class TestFactory final : public qxhost::ArchiveFactory {
public:
    TestFactory(qxhost::Host& host, const char* name) : ArchiveFactory(host, name) {}
    qx::InterfaceTable* create(qx::ResourceEntry*, qx::Handle, qx::IStream* stream) override {
        ++created;
        char data[64] = {};
        qx::StreamReadRequest request{data, sizeof data, 0};
        if (stream == nullptr || stream->control(qx::kStreamRead, &request) != 1) {
            return keep(std::make_unique<qxhost::ArchiveObject>());
        }
        return keep(std::make_unique<PictureArchive>(host(), std::string(data, request.count)));
    }
    int created = 0;
};

std::string textOf(qx::ResourceEntry* entry, std::int32_t size = 31) {
    char buffer[32] = {};
    const std::int32_t count = entry != nullptr && entry->parent != nullptr
                                   ? entry->parent->readData(entry, buffer, size)
                                   : 0;
    return std::string(buffer, static_cast<std::size_t>(count));
}

std::size_t openReaders(qx::ResourceDirectory* directory) {
    return static_cast<qxhost::ListedArchive*>(directory->archive())->openReaders();
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
        auto factory = std::make_unique<TestFactory>(host, qxhost::kPngFactory);
        pictures = factory.get();
        root->adopt(std::move(factory));
        top = root->directory();
    }
    qx::ResourceDirectory* choice() { return top->openDirectory(top->find("choice")); }

    qxhost::Host host;
    qxtest::TempFolder folder;
    std::unique_ptr<qxhost::ResourceRoot> root;
    TestFactory* pictures = nullptr;
    qx::ResourceDirectory* top = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Readers, ResourceTree, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Async" : "Blocking"; });

TEST_P(ResourceTree, PathsAndDirectoriesReuseWhatIsAlreadyOpen) {
    EXPECT_STREQ(top->find("*")->name, "choice");
    EXPECT_STREQ(top->find("*/*")->name, "manche01.png");
    qx::ResourceEntry* entry = top->find("choice");
    qx::ResourceDirectory* scene = top->openDirectory(entry);
    EXPECT_EQ(top->openDirectory(entry), scene);
    EXPECT_EQ(scene->openDirectory(entry), scene); // asked of another directory

    qx::ResourceEntry* picture = top->find("CHOICE/qmark.png/Image");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(static_cast<PictureArchive*>(picture->parent->archive())->bytes, "question");
    EXPECT_EQ(top->find("choice/qmark.png/image"), picture);
    EXPECT_EQ(top->find("choice/manche01.png/image")->parent->parent(), picture->parent->parent());
    EXPECT_EQ(top->children().size(), 1);
    EXPECT_EQ(pictures->created, 2);
}

TEST_P(ResourceTree, MissingResourceLogsTheWholePathItWasGiven) {
    EXPECT_EQ(choice()->find("manche02.png/image"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogTrace, "missing resource:<<manche02.png/image>>\n"));
    EXPECT_EQ(host.log().lines().size(), 1u);
}

TEST_P(ResourceTree, TextValueIsFoundThroughTheUnopenedValuesFileThenDirectly) {
    qx::ResourceDirectory* scene = choice();
    qx::ResourceEntry* showframes = scene->findEntry(nullptr, "showframes", "text");
    ASSERT_NE(showframes, nullptr);
    EXPECT_EQ(scene->findEntry(nullptr, "showframes", "image"), nullptr);

    // Directories opened on files keep their stream; reading a value opens and closes one.
    const std::size_t held = openReaders(scene);
    EXPECT_EQ(textOf(showframes), "1");
    EXPECT_EQ(textOf(scene->findEntry(nullptr, "PORTE01", "text")), "10, 20");
    EXPECT_EQ(openReaders(scene), held);
    EXPECT_EQ(openReaders(showframes->parent), 0u);
    EXPECT_EQ(host.log().count("emulating blocking read\n"), GetParam() ? 2u : 0u);

    qx::ResourceDirectory* values = scene->openDirectory(scene->find("values.txt"));
    EXPECT_EQ(showframes->parent, values);
    EXPECT_EQ(values->findEntry(nullptr, "showframes", "text"), showframes);
}

TEST_P(ResourceTree, NestedFoldersAreSearchedDepthFirstAndRead) {
    qx::ResourceEntry* depth = top->findEntry(nullptr, "depth", nullptr);
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(textOf(depth), "3");
    EXPECT_STREQ(depth->parent->parent()->name(), "deeper");

    qx::ResourceEntry* notes = top->find("choice/notes.txt");
    EXPECT_EQ(textOf(notes, 5), "hello");
    EXPECT_EQ(textOf(top->find("choice/sub")), ""); // a folder has no content
    char buffer[8];
    EXPECT_EQ(top->readData(notes, nullptr, 8), 0);
    EXPECT_EQ(top->readData(notes, buffer, 0), 0);
    EXPECT_EQ(top->openStream(notes, 0), nullptr); // not an entry of this directory
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
    EXPECT_EQ(textOf(first) + textOf(second) + textOf(third), "firstsecondthird");
    EXPECT_EQ(top->findEntry(third, "x", "text"), nullptr);
    EXPECT_EQ(top->findEntry(first, nullptr, "text"), second);
    // An entry that does not match never starts the collection.
    EXPECT_EQ(top->findEntry(top->findEntry(nullptr, "y", nullptr), "x", "text"), nullptr);
}

TEST_F(ResourceSearch, ArchiveTypesSelectFactoriesInAnyCaseAndFailuresAreLogged) {
    folder.write("values.txt", "answer = 42\n");
    folder.write("notes.txt", "plain");
    qxhost::ResourceRoot root(host, folder.path());
    TestFactory broken(host, "broken");
    const auto openAs = [&](const char* type, const char* path, const char* value) {
        qx::ResourceEntry entry{};
        entry.type = host.atoms().identifierOf(type);
        entry.description = path;
        auto* directory = new qx::ResourceDirectory(&entry, 0);
        EXPECT_EQ(textOf(directory->findEntry(nullptr, "answer", "text")), value) << type;
        qx::ResourceDirectory::destroyTree(directory);
    };
    openAs("ARCHIVE/Folder", folder.path().c_str(), "42");
    EXPECT_TRUE(host.log().lines().empty());

    openAs("archive/folder", folder.at("notes.txt").c_str(), "");
    EXPECT_TRUE(host.log().contains(qx::kLogError, "ArchiveFactory folder returned NULL.\n"));
    openAs("Archive/broken", nullptr, "");
    EXPECT_TRUE(host.log().contains(qx::kLogError, "Archive broken has no interface.\n"));
    EXPECT_EQ(root.directory()->find("notes.txt/x"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "No ArchiveFactory for file.\n"));
}

} // namespace
