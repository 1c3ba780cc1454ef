#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "archives/ArchiveTypes.h"
#include "archives/FolderArchive.h"
#include "archives/Reader.h"
#include "archives/ResourceRoot.h"
#include "archives/ValuesArchive.h"
#include "host_archives/TempFolder.h"
#include "runtime/Host.h"

namespace {

using Completion = std::pair<std::uint32_t, std::int32_t>;

struct Recorder final : qx::IListener {
    std::int32_t handleEvent(qx::Event* event) override {
        seen.emplace_back(event->type, static_cast<qx::ReadCompletionEvent*>(event)->payload);
        event->destroy(1);
        return 1;
    }
    std::vector<Completion> seen;
};

std::vector<qx::ResourceEntry*> entriesOf(qx::IArchive& archive) {
    std::vector<qx::ResourceEntry*> all;
    for (qx::ResourceEntry* e = archive.nextEntry(nullptr); e != nullptr;
         e = archive.nextEntry(e)) {
        all.push_back(e);
    }
    return all;
}

template <class Interface> Interface* lookUp(qx::InterfaceTable* table, const char* name) {
    return static_cast<Interface*>(table->getInterface(name));
}

class Archives : public ::testing::Test {
protected:
    std::string typeName(const qx::ResourceEntry* entry) {
        return host.atoms().nameOf(entry->type);
    }
    bool logged(std::int32_t level, const std::string& part) {
        for (const qxhost::LogLine& line : host.log().lines()) {
            if (line.level == level && line.message.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    qxhost::Host host;
    qxtest::TempFolder folder;
};

TEST_F(Archives, FolderListsEntriesInNameOrderWithTypesFromTheFileName) {
    folder.write("b.PNG", "p");
    folder.write("A.wav", "w");
    folder.write("Values.TXT", "x = 1\n");
    folder.write("c.txt", "c");
    folder.write(".hidden", "h");
    folder.makeFolder("sub");
    qxhost::FolderArchive archive(host, folder.path());

    const std::vector<qx::ResourceEntry*> all = entriesOf(archive);
    ASSERT_EQ(all.size(), 5u);
    const struct {
        const char* name;
        const char* type;
        std::uint32_t isArchive;
    } expected[] = {{"A.wav", "archive/wavfile", 1},
                    {"b.PNG", "archive/pngfile", 1},
                    {"c.txt", "file", 0},
                    {"sub", "archive/folder", 1},
                    {"Values.TXT", "archive/values", 1}};
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_STREQ(all[i]->name, expected[i].name);
        EXPECT_EQ(typeName(all[i]), expected[i].type) << expected[i].name;
        EXPECT_EQ(all[i]->isArchive, expected[i].isArchive) << expected[i].name;
        EXPECT_EQ(all[i]->description, folder.at(expected[i].name)) << expected[i].name;
    }

    // A file added later does not disturb the listing the tree is walking.
    folder.write("0first.txt", "");
    EXPECT_EQ(entriesOf(archive), all);
    EXPECT_STREQ(qxhost::folderEntryType("notes.wav.bak", false), "file");
    EXPECT_STREQ(qxhost::folderEntryType("my values.txt", false), "file");
}

TEST_F(Archives, FolderRefusesEntriesItDoesNotList) {
    folder.write("a.txt", "a");
    folder.makeFolder("sub");
    qxhost::FolderArchive archive(host, folder.path());
    qxhost::FolderArchive other(host, folder.path());
    qx::ResourceEntry* mine = archive.nextEntry(nullptr);
    qx::ResourceEntry* theirs = other.nextEntry(nullptr);

    EXPECT_EQ(archive.nextEntry(theirs), nullptr);
    EXPECT_EQ(archive.openReader(theirs, 0), nullptr);
    EXPECT_EQ(archive.openReader(archive.nextEntry(mine), 0), nullptr); // a folder
    qx::InterfaceTable* reader = archive.openReader(mine, 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(archive.openReaders(), 1u);
    qx::InterfaceTable stranger;
    archive.closeReader(&stranger);
    EXPECT_EQ(archive.openReaders(), 1u);
    archive.closeReader(reader);
    archive.closeReader(reader); // a second give-back is ignored
    EXPECT_EQ(archive.openReaders(), 0u);
}

TEST_F(Archives, BlockingReaderReadsControlsAndSeeks) {
    auto reader = qxhost::Reader::overFile(host, folder.write("data.bin", "0123456789"));
    qx::InterfaceTable* table = reader->table();
    EXPECT_EQ(lookUp<qx::IASyncRead>(table, "IASyncRead"), nullptr);
    auto* read = lookUp<qx::IRead>(table, "IRead");
    auto* stream = lookUp<qx::IStream>(table, "IStream");
    auto* seekable = lookUp<qx::ISeekable>(table, "ISeekable");
    ASSERT_TRUE(read != nullptr && stream != nullptr && seekable != nullptr);

    std::int32_t size = 0;
    EXPECT_EQ(stream->control(qx::kStreamQuerySize, &size), 1);
    EXPECT_EQ(size, 10);
    char buffer[16] = {};
    EXPECT_EQ(read->read(buffer, 4), 4);
    qx::StreamReadRequest request{buffer + 4, 3, 0};
    EXPECT_EQ(stream->control(qx::kStreamRead, &request), 1);
    EXPECT_EQ(request.count, 3);
    EXPECT_EQ(std::string(buffer, 7), "0123456");

    EXPECT_EQ(seekable->seek(-2, 2), 8);
    EXPECT_EQ(read->read(buffer, 16), 2);
    EXPECT_EQ(read->read(buffer, 16), 0);
    EXPECT_EQ(seekable->seek(-100, 1), 0);
    EXPECT_EQ(seekable->seek(100, 0), 10);
    EXPECT_EQ(seekable->seek(0, 7), -1);
    EXPECT_EQ(stream->control(99, &size), 0);
    EXPECT_EQ(stream->control(qx::kStreamRead, nullptr), 0);
    EXPECT_TRUE(host.log().lines().empty());
}

TEST_F(Archives, AsynchronousReaderCompletesOnlyInEventProcessing) {
    host.setSetting(qxhost::kAsyncReadersSetting, "1");
    const std::string big(5000, 'z');
    auto small = qxhost::Reader::overBytes(host, "abc");
    auto large = qxhost::Reader::overBytes(host, big);
    EXPECT_EQ(small->table()->getInterface("IRead"), nullptr);
    auto* smallRead = lookUp<qx::IASyncRead>(small->table(), "IASyncRead");
    auto* largeRead = lookUp<qx::IASyncRead>(large->table(), "IASyncRead");
    ASSERT_TRUE(smallRead != nullptr && largeRead != nullptr);
    ASSERT_NE(small->table()->getInterface("IStream"), nullptr);

    Recorder first;
    Recorder second;
    std::string smallBuffer(8, '\0');
    std::string largeBuffer(8000, '\0');
    smallRead->readAsync(smallBuffer.data(), 8, &first);
    largeRead->readAsync(largeBuffer.data(), 8000, &second);
    EXPECT_TRUE(first.seen.empty());
    EXPECT_TRUE(second.seen.empty());

    host.drainEvents();
    EXPECT_EQ(first.seen, (std::vector<Completion>{{qx::kReadCount, 3}}));
    EXPECT_EQ(smallBuffer.substr(0, 3), "abc");
    ASSERT_EQ(second.seen.size(), 2u);
    EXPECT_EQ(second.seen[0].first, qx::kReadProgress);
    EXPECT_EQ(second.seen[1], Completion(qx::kReadCount, 5000));
    EXPECT_EQ(largeBuffer.substr(0, 5000), big);
    EXPECT_EQ(host.liveEvents(), 0);
}

TEST_F(Archives, UnreadableFileIsLoggedWithItsPathAndReadsEmpty) {
    const std::string path = folder.write("gone.png", "soon deleted");
    qxhost::FolderArchive archive(host, folder.path());
    std::filesystem::remove(path);

    qx::InterfaceTable* reader = archive.openReader(archive.nextEntry(nullptr), 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(logged(qx::kLogError, "cannot read " + path));
    char buffer[8];
    EXPECT_EQ(lookUp<qx::IRead>(reader, "IRead")->read(buffer, 8), 0);
    std::int32_t size = -1;
    EXPECT_EQ(lookUp<qx::IStream>(reader, "IStream")->control(qx::kStreamQuerySize, &size), 1);
    EXPECT_EQ(size, 0);
}

TEST(Values, LinesAreTrimmedCommentsSkippedAndMalformedOnesCounted) {
    const qxhost::ParsedValues parsed = qxhost::parseValues("# layout of the screen\r\n"
                                                            "  showframes =  1  \r\n"
                                                            "\n"
                                                            "porte01=10,20\n"
                                                            "no equals sign\n"
                                                            " = 5\n"
                                                            "empty =\n"
                                                            "url = a=b # kept\n"
                                                            "\t# indented comment\n"
                                                            "last=end");
    ASSERT_EQ(parsed.values.size(), 5u);
    const struct {
        const char* name;
        const char* value;
        int line;
    } expected[] = {{"showframes", "1", 2},
                    {"porte01", "10,20", 4},
                    {"empty", "", 7},
                    {"url", "a=b # kept", 8},
                    {"last", "end", 10}};
    for (std::size_t i = 0; i < parsed.values.size(); ++i) {
        EXPECT_EQ(parsed.values[i].name, expected[i].name);
        EXPECT_EQ(parsed.values[i].value, expected[i].value);
        EXPECT_EQ(parsed.values[i].line, expected[i].line);
    }
    EXPECT_EQ(parsed.malformedLines, (std::vector<int>{5, 6}));
    EXPECT_TRUE(qxhost::parseValues("").values.empty());
}

TEST_F(Archives, MalformedValueLineIsLoggedWithFileAndLineAndTheRestStaysUsable) {
    const std::string path = folder.write("choice/values.txt", "showframes = 1\nporte01\n"
                                                               "textcenter01 = 5,6\n");
    auto root = qxhost::openResourceRoot(host, folder.path());
    qx::ResourceDirectory* choice =
        root->directory()->openDirectory(root->directory()->find("choice"));

    qx::ResourceEntry* centre = choice->findEntry(nullptr, "textcenter01", "text");
    ASSERT_NE(centre, nullptr);
    char buffer[32] = {};
    EXPECT_EQ(choice->readData(centre, buffer, 31), 3);
    EXPECT_STREQ(buffer, "5,6");
    EXPECT_EQ(choice->findEntry(nullptr, "porte01", "text"), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError,
                                    path + ":2: malformed value line, expected name = value\n"));
    EXPECT_EQ(host.log().count(path + ":2: malformed value line, expected name = value\n"), 1u);
}

TEST_F(Archives, ValuesFactoryWithoutAReadableStreamGivesNoArchive) {
    qxhost::ValuesArchiveFactory factory(host);
    qx::ResourceEntry entry{};
    entry.name = "values.txt";
    EXPECT_EQ(factory.create(&entry, 0, nullptr), nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "values archive: cannot read values.txt\n"));
    EXPECT_EQ(factory.archiveCount(), 0u);
}

TEST_F(Archives, RootOnAMissingFolderIsEmptyAndNamesThePath) {
    const std::string missing = folder.at("nowhere");
    auto root = qxhost::openResourceRoot(host, missing);
    ASSERT_NE(root->directory(), nullptr);
    EXPECT_STREQ(root->directory()->name(), "nowhere");
    EXPECT_EQ(root->directory()->find("choice"), nullptr);
    EXPECT_TRUE(logged(qx::kLogError, missing));
    EXPECT_TRUE(host.log().contains(qx::kLogError, "ArchiveFactory folder returned NULL.\n"));
}

TEST_F(Archives, ShutdownRemovesEveryRegistryEntryOfTreeFactoriesAndReaders) {
    folder.write("choice/values.txt", "a = 1\n");
    folder.write("choice/pictures/qmark.png", "png");
    folder.write("choice/pictures/click.wav", "wav");
    const std::size_t before = host.entries().size();
    {
        auto root = qxhost::openResourceRoot(host, folder.path() + "/");
        EXPECT_STREQ(root->directory()->name(),
                     std::filesystem::path(folder.path()).filename().string().c_str());
        // Opens every archive entry below, each holding a stream on its file.
        EXPECT_EQ(root->directory()->findEntry(nullptr, "nothing", nullptr), nullptr);
        EXPECT_GT(host.entries().size(), before + 2);
    }
    EXPECT_EQ(host.entries().size(), before);
}

} // namespace
