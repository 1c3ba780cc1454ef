#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <png.h>

#include "demogen/ChoiceFolder.h"
#include "demogen/DemoLayout.h"
#include "host_archives/TempFolder.h"

namespace {

using qxtest::readFile;

const std::string kChoice = QX_DEMO_OUTPUT_DIR "/choice/";

struct Png {
    int width = 0, height = 0, channels = 0;
    png_uint_32 format = 0; // as stored in the file
    std::vector<unsigned char> pixels;
    const unsigned char* at(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * channels;
    }
};

Png load(const std::string& name) {
    Png png;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, (kChoice + name).c_str())) {
        ADD_FAILURE() << name << ": " << image.message;
        return png;
    }
    png.format = image.format;
    image.format = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    png.width = static_cast<int>(image.width);
    png.height = static_cast<int>(image.height);
    png.channels = static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(image.format));
    png.pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, png.pixels.data(), 0, nullptr))
        ADD_FAILURE() << name << ": " << image.message;
    return png;
}

std::uint32_t word(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

void expectBand(const unsigned char* p) {
    EXPECT_EQ(p[0], demogen::kBandColour.r);
    EXPECT_EQ(p[1], demogen::kBandColour.g);
    EXPECT_EQ(p[2], demogen::kBandColour.b);
}

TEST(DemoData, PicturesHaveTheSizesAndFormatsTheSceneExpects) {
    struct Expected {
        std::string name;
        int width, height;
        bool alpha;
    };
    std::vector<Expected> expected = {
        {"manche01.png", 640, 480, false}, {"manche02.png", 640, 480, false},
        {"manche03.png", 640, 480, false}, {"qmark.png", 40, 60, true},
        {"cursor.png", 20, 28, false},     {"lmask.png", 55, 80, true},
        {"rmask.png", 55, 80, true},       {"playbutton.png", 120, 144, false}};
    for (int n = 1; n <= 9; ++n)
        expected.push_back({"pt" + std::to_string(n) + ".png", 96, 144, false});
    for (const char* look : {"l_0", "l_1", "r_0", "r_1"})
        expected.push_back({std::string(look) + ".png", 30, 40, true});
    for (const char* look : {"bl_0", "bl_1", "br_0", "br_1"})
        expected.push_back({std::string(look) + ".png", 60, 60, true});
    for (const Expected& e : expected) {
        const Png png = load(e.name);
        EXPECT_EQ(png.width, e.width) << e.name;
        EXPECT_EQ(png.height, e.height) << e.name;
        // 8 bits per channel, truecolour, no palette.
        EXPECT_EQ(png.format, e.alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB) << e.name;
    }
    // The play button is a strip of three distinct frames, counted in a "frames" text chunk.
    const std::string framesChunk("tEXtframes\0003", 12);
    EXPECT_NE(readFile(kChoice + "playbutton.png").find(framesChunk), std::string::npos);
    const Png strip = load("playbutton.png");
    const std::size_t third = strip.pixels.size() / 3;
    const auto frame = [&](std::size_t n) {
        return std::vector<unsigned char>(strip.pixels.begin() + n * third,
                                          strip.pixels.begin() + (n + 1) * third);
    };
    EXPECT_TRUE(frame(0) != frame(1) && frame(1) != frame(2) && frame(0) != frame(2));
}

// The cursor is drawn with (0, 0, 0) as its transparent key after a drop to 5 bits per channel.
TEST(DemoData, CursorHasAPureBlackKeyAndNoPicturePixelThatTurnsIntoIt) {
    const Png cursor = load("cursor.png");
    ASSERT_EQ(cursor.channels, 3);
    int key = 0;
    for (int y = 0; y < cursor.height; ++y) {
        for (int x = 0; x < cursor.width; ++x) {
            const unsigned char* p = cursor.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
                ++key;
                continue;
            }
            EXPECT_TRUE(p[0] >= 8 || p[1] >= 8 || p[2] >= 8) << "pixel " << x << "," << y;
        }
    }
    EXPECT_GT(key, cursor.width * cursor.height / 3);
    // The tip is the top-left corner; the opposite corners are see-through.
    EXPECT_NE(cursor.at(1, 1)[0], 0);
    EXPECT_EQ(cursor.at(cursor.width - 1, 0)[0], 0);
    EXPECT_EQ(cursor.at(0, cursor.height - 1)[0], 0);
}

TEST(DemoData, RoundsDarkenUnderTheBarIntoTheBandTheMasksFadeFrom) {
    for (const char* name : {"manche01.png", "manche02.png", "manche03.png"}) {
        const Png round = load(name);
        ASSERT_EQ(round.height, 480) << name;
        double above = 0, below = 0;
        for (std::size_t i = 0; i < round.pixels.size(); ++i)
            (i < 410 * 640 * 3 ? above : below) += round.pixels[i];
        EXPECT_LT(below / 70, above / 410 * 0.8) << name;
        for (int x : {0, 100, 320, 639})
            expectBand(round.at(x, 450)); // where the topic titles run
    }
    const Png left = load("lmask.png"), right = load("rmask.png");
    ASSERT_EQ(left.width, 55);
    ASSERT_EQ(right.width, 55);
    const int row = 50; // y 450 on screen
    expectBand(left.at(0, row));
    EXPECT_EQ(left.at(0, row)[3], 255);
    EXPECT_EQ(left.at(54, row)[3], 0);
    EXPECT_EQ(right.at(54, row)[3], 255);
    EXPECT_EQ(right.at(0, row)[3], 0);
    for (int x = 1; x < 55; ++x)
        EXPECT_LE(left.at(x, row)[3], left.at(x - 1, row)[3]) << "column " << x;
    EXPECT_EQ(left.at(0, 0)[3], 0); // above the band the background shows through
    EXPECT_EQ(right.at(54, 0)[3], 0);
}

TEST(DemoData, AlphaPicturesHaveSoftEdgesClearCornersAndADistinctHighlight) {
    for (const char* name : {"qmark.png", "l_0.png", "r_1.png", "bl_0.png", "br_1.png"}) {
        SCOPED_TRACE(name);
        const Png png = load(name);
        ASSERT_EQ(png.channels, 4);
        int opaque = 0, soft = 0;
        for (std::size_t i = 3; i < png.pixels.size(); i += 4) {
            opaque += png.pixels[i] == 255 ? 1 : 0;
            soft += png.pixels[i] > 0 && png.pixels[i] < 255 ? 1 : 0;
        }
        EXPECT_GT(opaque, 20);
        EXPECT_GT(soft, 10);
        EXPECT_EQ(png.at(0, 0)[3], 0);
        EXPECT_EQ(png.at(png.width - 1, png.height - 1)[3], 0);
    }
    for (const std::string base : {"l", "r", "bl", "br"})
        EXPECT_NE(load(base + "_0.png").pixels, load(base + "_1.png").pixels) << base;
}

TEST(DemoData, SoundsAreShortMonoSixteenBitPcmThatEndsQuietly) {
    for (const char* name : {"clicked.wav", "selected.wav", "deleted.wav"}) {
        SCOPED_TRACE(name);
        const std::string wav = readFile(kChoice + name);
        ASSERT_GE(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(word(wav, 4, 4), wav.size() - 8);
        // PCM, mono, 22050 frames and 44100 bytes a second, 2 bytes a frame, 16 bits.
        EXPECT_EQ(wav.substr(8, 32), std::string("WAVEfmt \x10\0\0\0\x01\0\x01\0\x22\x56\0\0"
                                                 "\x44\xAC\0\0\x02\0\x10\0data",
                                                 32));
        ASSERT_EQ(word(wav, 40, 4), wav.size() - 44);
        const double milliseconds = (wav.size() - 44) / 2 * 1000.0 / 22050;
        EXPECT_GE(milliseconds, 50);
        EXPECT_LE(milliseconds, 400);
        int peak = 0;
        for (std::size_t at = 44; at < wav.size(); at += 2)
            peak = std::max(peak, std::abs(static_cast<std::int16_t>(word(wav, at, 2))));
        EXPECT_GT(peak, 8000) << "too quiet to hear";
        EXPECT_LT(std::abs(static_cast<std::int16_t>(word(wav, wav.size() - 2, 2))), 200)
            << "ends with a click";
    }
}

// Every file of the folder is made by the build, and making it again gives the same bytes.
TEST(DemoData, GeneratorRebuildsTheSameFolderByteForByte) {
    const qxtest::TempFolder scratch;
    demogen::writeChoiceFolder(scratch.path(), QX_DEMO_SOURCE_DIR "/choice/values.txt",
                               QX_DEMO_FONT);
    const auto& names = demogen::choiceFolderFiles();
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kChoice)) {
        ++files;
        EXPECT_NE(std::find(names.begin(), names.end(), entry.path().filename()), names.end())
            << entry.path() << " is not a file of the choice folder";
    }
    EXPECT_EQ(files, names.size());
    for (const std::string& name : names) {
        const std::string built = readFile(kChoice + name);
        EXPECT_FALSE(built.empty()) << name;
        EXPECT_EQ(built, readFile(scratch.at(name))) << name << " differs";
    }
}

} // namespace
