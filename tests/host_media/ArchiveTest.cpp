#include <gtest/gtest.h>

#include <tuple>

#include "MediaTestSupport.h"
#include "host_archives/TempFolder.h"
#include "media/Media.h"
#include "resource/ReadStream.h"

namespace {

using mediatest::FileEntry;
using mediatest::PngPicture;
using Bytes = std::vector<std::uint8_t>;

class Archives : public ::testing::Test {
protected:
    // Opens the bytes as the given factory would be asked to by a directory.
    qx::IArchive* open(qxhost::FileArchiveFactory& factory, const Bytes& bytes,
                       const char* path = "choice/picture.png") {
        files.push_back(std::make_unique<FileEntry>(path));
        mediatest::BytesReader reader(host, bytes);
        auto* stream =
            static_cast<qx::IStream*>(reader.reader->table()->getInterface(qx::kIStreamName));
        return static_cast<qx::IArchive*>(
            factory.create(&files.back()->entry, 0, stream)->getInterface(qx::kIArchiveName));
    }
    // The single entry's content as its reader gives it.
    Bytes content(qx::IArchive* archive) {
        qx::ResourceEntry* entry = archive->nextEntry(nullptr);
        qx::InterfaceTable* reader = archive->openReader(entry, archive->entryHandle(entry));
        Bytes bytes =
            mediatest::readAll(static_cast<qx::IRead*>(reader->getInterface(qx::kIReadName)));
        archive->closeReader(reader);
        return bytes;
    }
    const qx::BitmapDescription& picture(qx::IArchive* archive) {
        return *reinterpret_cast<qx::BitmapDescription*>(
            archive->entryHandle(archive->nextEntry(nullptr)));
    }
    std::uint32_t atom(const char* name) { return host.atoms().identifierOf(name); }

    qxhost::Host host;
    qxhost::PngArchiveFactory pngs{host};
    qxhost::WavArchiveFactory wavs{host};
    std::vector<std::unique_ptr<FileEntry>> files;
};

TEST_F(Archives, PngsOfEveryKindDecodeToHostByteOrder) {
    PngPicture indexed{3, 1, PNG_COLOR_TYPE_PALETTE, 8, {2, 0, 1}};
    indexed.palette = {{255, 0, 0}, {0, 255, 0}, {1, 2, 3}};
    PngPicture keyed = indexed;
    keyed.transparency = {0, 128};
    const std::vector<std::tuple<PngPicture, std::int32_t, Bytes>> cases = {
        {{1, 2, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4, 250, 251, 252, 255}},
         32,
         {3, 2, 1, 4, 252, 251, 250, 255}},
        {{3, 1, PNG_COLOR_TYPE_GRAY, 8, {0, 128, 255}}, 8, {0, 128, 255}},
        // 16-bit channels keep their high byte (0xABAB is exactly 0xAB scaled down).
        {{1, 1, PNG_COLOR_TYPE_RGB, 16, {0xAB, 0xAB, 0x12, 0x12, 0xFF, 0xFF}}, 24, {255, 18, 171}},
        {{3, 1, PNG_COLOR_TYPE_GRAY, 1, {0b10100000}}, 8, {255, 0, 255}},
        {indexed, 24, {3, 2, 1, 0, 0, 255, 0, 255, 0}},
        {keyed, 32, {3, 2, 1, 255, 0, 0, 255, 0, 0, 255, 0, 128}},
        {{2, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {200, 255, 7, 9}},
         32,
         {200, 200, 200, 255, 7, 7, 7, 9}},
        {{2, 1, PNG_COLOR_TYPE_RGB, 8, {10, 20, 30, 40, 50, 60}}, 24, {30, 20, 10, 60, 50, 40}},
    };
    qx::IArchive* archive = nullptr;
    for (const auto& [png, bits, pixels] : cases) {
        archive = open(pngs, mediatest::makePng(png));
        EXPECT_EQ(picture(archive).bitsPerPixel, bits) << png.colourType << "/" << png.bitDepth;
        EXPECT_EQ(content(archive), pixels) << png.colourType << "/" << png.bitDepth;
    }
    EXPECT_EQ(picture(archive).format, atom("rrrrrrrrggggggggbbbbbbbb"));
    qx::ResourceEntry* image = archive->nextEntry(nullptr);
    EXPECT_STREQ(image->name, "image");
    EXPECT_STREQ(image->description, "choice/picture.png"); // shown in timing traces
    EXPECT_EQ(archive->nextEntry(image), nullptr);

    // A "frames" text sets the strip count; one that does not divide the height is reported.
    PngPicture strip{1, 3, PNG_COLOR_TYPE_GRAY, 8, {1, 2, 3}};
    strip.texts = {{"frames", "3"}};
    EXPECT_EQ(picture(open(pngs, mediatest::makePng(strip))).frames, 3);
    for (const char* bad : {"0", "4", "two"}) {
        strip.texts = {{"Title", "x"}, {"frames", bad}};
        EXPECT_EQ(picture(open(pngs, mediatest::makePng(strip), "strip.png")).frames, 1) << bad;
        EXPECT_TRUE(host.log().lines().back().message.starts_with("pngfile: strip.png: text"));
    }
}

TEST_F(Archives, WavGivesItsFormatWordsAndWholeFramesOfPcm) {
    const Bytes stereo = {1, 2, 3, 4, 5, 6, 7, 8};
    qx::IArchive* archive = open(wavs, mediatest::makeWav(22050, 2, 16, stereo), "clicked.wav");
    qx::ResourceEntry* sound = archive->nextEntry(nullptr);
    EXPECT_STREQ(sound->name, "sound");
    const auto* d = reinterpret_cast<qx::SoundDescription*>(archive->entryHandle(sound));
    EXPECT_EQ(d->resource.type, atom("sound"));
    EXPECT_EQ(std::vector<std::uint32_t>(d->words, d->words + 5),
              (std::vector<std::uint32_t>{22050, 2, 16, 8, 0}));
    EXPECT_EQ(content(archive), stereo);
    EXPECT_TRUE(host.log().lines().empty());
    // A data chunk cut short keeps its whole frames and says so.
    archive = open(wavs, mediatest::makeWav(8000, 2, 16, {1, 2, 3, 4, 5, 6}, 1, 100), "cut.wav");
    EXPECT_EQ(content(archive), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(host.log().lines().size(), 1u);
}

TEST_F(Archives, UndecodableFilesAreLoggedWithTheirFileAndHaveNoEntries) {
    const Bytes good = mediatest::makePng({4, 4, PNG_COLOR_TYPE_RGB, 8, Bytes(48, 77)});
    const Bytes pcm = {0, 0, 0, 0};
    Bytes noData = mediatest::makeWav(8000, 1, 8, {});
    noData.resize(noData.size() - 8);
    qxhost::FileArchiveFactory *png = &pngs, *wav = &wavs;
    const std::vector<std::tuple<qxhost::FileArchiveFactory*, Bytes, std::string>> cases = {
        {png, Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}, "pngfile: f: not a PNG file"},
        {png, Bytes(good.begin(), good.begin() + 40), "pngfile: f: unreadable PNG header"},
        {png, Bytes(good.begin(), good.end() - 15), "pngfile: f: corrupt PNG data"},
        {wav, Bytes{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "wavfile: f: not a WAV"},
        {wav, mediatest::makeWav(8000, 1, 32, pcm, 3), "wavfile: f: not PCM data (format tag 3)"},
        {wav, mediatest::makeWav(8000, 1, 24, pcm), "wavfile: f: 24 bits per sample"},
        {wav, mediatest::makeWav(8000, 6, 16, pcm), "wavfile: f: 6 channels"},
        {wav, mediatest::makeWav(0, 1, 16, pcm), "wavfile: f: sample rate of 0 Hz"},
        {wav, noData, "wavfile: f: no data chunk"},
    };
    for (const auto& [factory, bytes, reason] : cases) {
        host.log().clear();
        EXPECT_EQ(open(*factory, bytes, "f")->nextEntry(nullptr), nullptr) << reason;
        ASSERT_EQ(host.log().lines().size(), 1u) << reason;
        const auto& line = host.log().lines()[0];
        EXPECT_TRUE(line.level == qx::kLogError && line.message.starts_with(reason))
            << line.message;
    }
    FileEntry entry("f");
    pngs.create(&entry.entry, 0, nullptr);
    EXPECT_TRUE(host.log().contains(qx::kLogError, "pngfile: f: no stream to read the file from"));
}

// Pictures and sounds in a folder on disk, found through the resource tree as a scene
// finds them, with blocking and with asynchronous-only readers.
TEST(MediaInResourceTree, PicturesAndSoundsAreFoundAndReadByPath) {
    const qxtest::TempFolder folder;
    auto write = [&](const char* name, const Bytes& bytes) {
        folder.write(name, std::string(bytes.begin(), bytes.end()));
    };
    write("qmark.png", mediatest::makePng({1, 2, PNG_COLOR_TYPE_RGBA, 8, Bytes(8, 200)}));
    write("clicked.wav", mediatest::makeWav(11025, 1, 8, {1, 2, 3}));
    write("broken.png", Bytes{'n', 'o', 'p', 'e'});
    for (const char* async : {"0", "1"}) {
        qxhost::Host host;
        host.setSetting("AsyncReaders", async);
        auto root = qxhost::openResourceRoot(host, folder.path());
        qxhost::addMediaArchives(host, *root);
        qx::Handle handle = 0;
        auto read = [&](const char* path) {
            qx::ResourceEntry* entry = root->directory()->find(path);
            qx::ReadStream* stream =
                entry->parent->openStream(entry, handle = entry->parent->entryHandle(entry));
            Bytes bytes(64);
            bytes.resize(static_cast<std::size_t>(stream->read(bytes.data(), 64)));
            entry->parent->closeStream(stream);
            return bytes;
        };
        EXPECT_EQ(read("qmark.png/image"), Bytes(8, 200)) << "AsyncReaders " << async;
        EXPECT_EQ(reinterpret_cast<qx::BitmapDescription*>(handle)->bitsPerPixel, 32);
        EXPECT_EQ(read("clicked.wav/*"), (Bytes{1, 2, 3})) << "AsyncReaders " << async;
        EXPECT_EQ(reinterpret_cast<qx::SoundDescription*>(handle)->words[0], 11025u);
        EXPECT_EQ(root->directory()->find("broken.png/image"), nullptr);
        EXPECT_TRUE(host.log().contains(qx::kLogError, "pngfile: " + folder.at("broken.png") +
                                                           ": not a PNG file (bad signature)"));
        root.reset();
        EXPECT_EQ(host.liveEvents(), 0);
    }
}

} // namespace
