#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "archives/ArchiveTypes.h"
#include "archives/FolderArchive.h"
#include "archives/ResourceRoot.h"
#include "archives/ValuesArchive.h"
#include "host_archives/TempFolder.h"

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

template <class Interface> Interface* lookUp(qx::InterfaceTable* table, const char* name) {
    return static_cast<Interface*>(table->getInterface(name));
}

class Archives : public ::testing::Test {
protected:
    bool logged(const std::string& part) {
        for (const qxhost::LogLine& line : host.log().lines()) {
            if (line.level == qx::kLogError && line.message.find(part) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    qxhost::Host host;
    qxtest::TempFolder folder;
};

TEST_F(Archives, FolderListsEntriesInNameOrderWithTypesFromTheFileName) {
    for (const char* name : {"b.PNG", "A.wav", "Values.TXT", "c.txt", ".hidden", "sub/.keep"}) {
        folder.write(name, "x");
    }
    qxhost::FolderArchive archive(host, folder.path());
    const char* expected[][2] = {{"A.wav", "archive/wavfile"},
                                 {"b.PNG", "archive/pngfile"},
                                 {"c.txt", "file"},
                                 {"sub", "archive/folder"},
                                 {"Values.TXT", "archive/values"}};
    folder.write("0added.txt", ""); // the listing stays as it was when the archive opened
    qx::ResourceEntry* entry = archive.nextEntry(nullptr);
    for (const auto& [name, type] : expected) {
        ASSERT_NE(entry, nullptr);
        EXPECT_STREQ(entry->name, name);
        EXPECT_STREQ(host.atoms().nameOf(entry->type), type);
        EXPECT_EQ(entry->isArchive, std::string(type) == "file" ? 0u : 1u) << name;
        EXPECT_TRUE(std::filesystem::path(entry->description) == folder.at(name)) << name;
        entry = archive.nextEntry(entry);
    }
    EXPECT_EQ(entry, nullptr);
}

TEST_F(Archives, ReaderReadsBlockingOrCompletesOnlyInEventProcessing) {
    auto blocking = qxhost::Reader::overFile(host, folder.write("data.bin", "0123456789"));
    auto* stream = lookUp<qx::IStream>(blocking->table(), qx::kIStreamName);
    std::int32_t size = 0;
    EXPECT_EQ(stream->control(qx::kStreamQuerySize, &size), 1);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(lookUp<qx::ISeekable>(blocking->table(), qx::kISeekableName)->seek(-3, 2), 7);
    char buffer[16] = {};
    qx::StreamReadRequest request{buffer, 16, 0};
    EXPECT_EQ(stream->control(qx::kStreamRead, &request), 1);
    EXPECT_EQ(std::string(buffer, request.count), "789");
    EXPECT_EQ(lookUp<qx::IRead>(blocking->table(), qx::kIReadName)->read(buffer, 16), 0);

    host.setSetting(qxhost::kAsyncReadersSetting, "1");
    auto async = qxhost::Reader::overBytes(host, std::string(5000, 'z'));
    EXPECT_EQ(async->table()->getInterface(qx::kIReadName), nullptr);
    Recorder recorder;
    std::string large(8000, '\0');
    lookUp<qx::IASyncRead>(async->table(), qx::kIASyncReadName)
        ->readAsync(large.data(), 8000, &recorder);
    EXPECT_TRUE(recorder.seen.empty());
    host.drainEvents();
    ASSERT_EQ(recorder.seen.size(), 2u);
    EXPECT_EQ(recorder.seen[0].first, qx::kReadProgress);
    EXPECT_EQ(recorder.seen[1], Completion(qx::kReadCount, 5000));
    EXPECT_EQ(host.liveEvents(), 0);
}

TEST_F(Archives, UnreadableFileIsLoggedWithItsPathAndReadsEmpty) {
    const std::string path = folder.write("gone.png", "soon deleted");
    qxhost::FolderArchive archive(host, folder.path());
    std::filesystem::remove(path);
    qx::InterfaceTable* reader = archive.openReader(archive.nextEntry(nullptr), 0);
    ASSERT_NE(reader, nullptr);
    EXPECT_TRUE(logged("cannot read " + path));
    char buffer[8];
    EXPECT_EQ(lookUp<qx::IRead>(reader, qx::kIReadName)->read(buffer, 8), 0);
}

TEST_F(Archives, ValuesAreTrimmedAndMalformedLinesLoggedWithFileAndLine) {
    const std::string path = folder.write(
        "values.txt", "# layout\r\n  showframes =  1  \r\nporte01\n = 5\n\nempty =\nurl = a=b");
    auto root = qxhost::openResourceRoot(host, folder.path());
    qx::ResourceDirectory* top = root->directory();
    const auto text = [top](const char* name) {
        char buffer[32] = {};
        qx::ResourceEntry* entry = top->findEntry(nullptr, name, "text");
        return entry != nullptr ? std::string(buffer, entry->parent->readData(entry, buffer, 31))
                                : "<missing>";
    };
    EXPECT_EQ(text("showframes") + "|" + text("empty") + "|" + text("url"), "1||a=b");
    EXPECT_EQ(text("porte01"), "<missing>");
    for (int line : {3, 4}) {
        EXPECT_EQ(host.log().count(path + ":" + std::to_string(line) +
                                   ": malformed value line, expected name = value\n"),
                  1u);
    }
    EXPECT_EQ(host.log().lines().size(), 2u);
}

TEST_F(Archives, IndexAnswersWhatAWalkOfTheEntriesMeetsFirst) {
    for (const char* file : {"a.png", "A.wav", "b.txt", "sub/x.txt", "values.txt", "Z"})
        folder.write(file, "");
    qxhost::FolderArchive files(host, folder.path());
    qxhost::ValuesArchive values(
        host, "values.txt", qxhost::parseValues("x = 1\nX = 2\ny = 3\nx = 4\nxy = 5\n").values);
    for (qxhost::ListedArchive* archive : {static_cast<qxhost::ListedArchive*>(&files),
                                           static_cast<qxhost::ListedArchive*>(&values)}) {
        std::vector<qx::ResourceEntry*> walk{nullptr};
        for (auto* e = archive->nextEntry(nullptr); e != nullptr; e = archive->nextEntry(e))
            walk.push_back(e);
        const auto firstAfter = [&](qx::ResourceEntry* previous, auto matches) {
            auto at = std::find(walk.begin(), walk.end(), previous);
            at = std::find_if(at + 1, walk.end(), matches);
            return at != walk.end() ? *at : nullptr;
        };
        for (qx::ResourceEntry* previous : walk) {
            for (const std::string name :
                 {"x", "X", "y", "xy", "a.png", "A.PNG", "sub", "z", "q"}) {
                // Only the first characters count: "x" is asked as the start of "xyz".
                const std::string given = name == "x" ? "xyz" : name;
                EXPECT_EQ(archive->nextNamed(previous, given.c_str(),
                                             static_cast<std::int32_t>(name.size())),
                          firstAfter(previous,
                                     [&](qx::ResourceEntry* e) {
                                         return qx::namesEqual(e->name, name.c_str());
                                     }))
                    << name << " after " << (previous ? previous->name : "the start");
            }
            EXPECT_EQ(archive->nextArchive(previous),
                      firstAfter(previous, [](qx::ResourceEntry* e) { return e->isArchive != 0; }));
        }
    }
    EXPECT_EQ(files.nextNamed(values.nextEntry(nullptr), "x", 1), nullptr)
        << "an entry of another archive";
    EXPECT_NE(lookUp<qx::IArchiveIndex>(values.table(), qx::kIArchiveIndexName), nullptr);
}

TEST_F(Archives, RootOnAMissingFolderIsEmptyAndNamesThePath) {
    auto root = qxhost::openResourceRoot(host, folder.at("nowhere"));
    EXPECT_STREQ(root->directory()->name(), "nowhere");
    EXPECT_EQ(root->directory()->find("choice"), nullptr);
    EXPECT_TRUE(logged(folder.at("nowhere")));
}

TEST_F(Archives, ShutdownRemovesEveryRegistryEntryOfTreeFactoriesAndReaders) {
    folder.write("choice/values.txt", "a = 1\n");
    folder.write("choice/pictures/qmark.png", "png");
    const std::size_t before = host.entries().size();
    {
        auto root = qxhost::openResourceRoot(host, folder.path() + "/");
        // Opens every archive entry below, each directory on a file holding a stream.
        EXPECT_EQ(root->directory()->findEntry(nullptr, "nothing", nullptr), nullptr);
        EXPECT_GT(host.entries().size(), before + 2);
    }
    EXPECT_EQ(host.entries().size(), before);
}

} // namespace
