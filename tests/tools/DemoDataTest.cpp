#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

#include <png.h>

#include "demogen/ChoiceFolder.h"
#include "demogen/DemoLayout.h"

namespace {

const std::string kChoice = QX_DEMO_OUTPUT_DIR "/choice/";

// Plain data only: libpng's error path jumps back over this function's frame.
struct RawPng {
    png_uint_32 width, height;
    int bitDepth, colourType;
    char frames[16];
    unsigned char* pixels;
};

bool decodeRaw(std::FILE* file, RawPng* out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    unsigned char* volatile pixels = nullptr;
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        std::free(pixels);
        std::free(rows);
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_IHDR(png, info, &out->width, &out->height, &out->bitDepth, &out->colourType, nullptr,
                 nullptr, nullptr);
    const png_size_t stride = png_get_rowbytes(png, info);
    pixels = static_cast<unsigned char*>(std::malloc(stride * out->height));
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * out->height));
    for (png_uint_32 y = 0; y < out->height; ++y)
        rows[y] = pixels + stride * y;
    png_read_image(png, rows);
    png_read_end(png, info);
    out->frames[0] = '\0';
    png_textp text = nullptr;
    int count = 0;
    png_get_text(png, info, &text, &count);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(text[i].key, "frames") == 0)
            std::snprintf(out->frames, sizeof out->frames, "%s", text[i].text);
    }
    out->pixels = pixels;
    std::free(rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

struct Png {
    int width = 0, height = 0, bitDepth = 0, colourType = -1;
    std::string frames;
    std::vector<unsigned char> pixels;

    int channels() const { return colourType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3; }
    int bitsPerPixel() const { return bitDepth * channels(); }
    const unsigned char* at(int x, int y) const {
        return pixels.data() + (static_cast<std::size_t>(y) * width + x) * channels();
    }
};

Png load(const std::string& name) {
    Png png;
    std::FILE* file = std::fopen((kChoice + name).c_str(), "rb");
    if (file == nullptr) {
        ADD_FAILURE() << name << " was not generated";
        return png;
    }
    RawPng raw{};
    const bool ok = decodeRaw(file, &raw);
    std::fclose(file);
    if (!ok) {
        ADD_FAILURE() << name << " does not decode";
        return png;
    }
    png.width = static_cast<int>(raw.width);
    png.height = static_cast<int>(raw.height);
    png.bitDepth = raw.bitDepth;
    png.colourType = raw.colourType;
    png.frames = raw.frames;
    png.pixels.assign(raw.pixels, raw.pixels + static_cast<std::size_t>(png.width) * png.height *
                                                   png.channels());
    std::free(raw.pixels);
    return png;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t word(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}

TEST(DemoData, PicturesHaveTheSizesAndDepthsTheSceneExpects) {
    struct Expected {
        std::string name;
        int width, height, bits;
    };
    std::vector<Expected> expected = {
        {"manche01.png", 640, 480, 24}, {"manche02.png", 640, 480, 24},
        {"manche03.png", 640, 480, 24}, {"qmark.png", 40, 60, 32},
        {"cursor.png", 20, 28, 24},     {"lmask.png", 55, 80, 32},
        {"rmask.png", 55, 80, 32},      {"playbutton.png", 120, 144, 24},
    };
    for (int n = 1; n <= 9; ++n)
        expected.push_back({"pt" + std::to_string(n) + ".png", 96, 144, 24});
    for (const char* base : {"l", "r"}) {
        for (const char* look : {"_0.png", "_1.png"})
            expected.push_back({std::string(base) + look, 30, 40, 32});
    }
    for (const char* base : {"bl", "br"}) {
        for (const char* look : {"_0.png", "_1.png"})
            expected.push_back({std::string(base) + look, 60, 60, 32});
    }
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const Png png = load(e.name);
        EXPECT_EQ(png.width, e.width);
        EXPECT_EQ(png.height, e.height);
        EXPECT_EQ(png.bitDepth, 8);
        EXPECT_EQ(png.bitsPerPixel(), e.bits);
    }
}

TEST(DemoData, PlayButtonIsAStripOfThreeDistinctFramesNamedInItsTextChunk) {
    const Png strip = load("playbutton.png");
    EXPECT_EQ(strip.frames, "3");
    ASSERT_EQ(strip.height % 3, 0);
    const std::size_t frameBytes = strip.pixels.size() / 3;
    const auto frame = [&](int n) {
        return std::vector<unsigned char>(strip.pixels.begin() + n * frameBytes,
                                          strip.pixels.begin() + (n + 1) * frameBytes);
    };
    EXPECT_NE(frame(0), frame(1));
    EXPECT_NE(frame(1), frame(2));
    EXPECT_NE(frame(0), frame(2));
}

// The cursor is drawn with (0, 0, 0) as its transparent key after a drop to 5 bits per channel.
TEST(DemoData, CursorHasAPureBlackKeyAndNoPicturePixelThatTurnsIntoIt) {
    const Png cursor = load("cursor.png");
    ASSERT_EQ(cursor.channels(), 3);
    int key = 0, white = 0;
    for (int y = 0; y < cursor.height; ++y) {
        for (int x = 0; x < cursor.width; ++x) {
            const unsigned char* p = cursor.at(x, y);
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) {
                ++key;
                continue;
            }
            EXPECT_TRUE(p[0] >= 8 || p[1] >= 8 || p[2] >= 8) << "pixel " << x << "," << y;
            white += p[0] > 200 && p[1] > 200 && p[2] > 200 ? 1 : 0;
        }
    }
    EXPECT_GT(key, cursor.width * cursor.height / 3);
    EXPECT_GT(white, 30);
    // The pointer's tip is its top-left corner; the opposite corners are see-through.
    EXPECT_NE(cursor.at(1, 1)[0], 0);
    EXPECT_EQ(cursor.at(cursor.width - 1, 0)[0], 0);
    EXPECT_EQ(cursor.at(0, cursor.height - 1)[0], 0);
}

TEST(DemoData, RoundsHaveTheirOwnMoodAndTheSameDarkBandUnderTheBar) {
    const demogen::Rgb band = demogen::kBandColour;
    std::vector<std::array<double, 3>> moods;
    for (const char* name : {"manche01.png", "manche02.png", "manche03.png"}) {
        SCOPED_TRACE(name);
        const Png round = load(name);
        ASSERT_EQ(round.height, 480);
        std::array<double, 3> above{}, below{};
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                for (int c = 0; c < 3; ++c)
                    (y < 410 ? above : below)[static_cast<std::size_t>(c)] += round.at(x, y)[c];
            }
        }
        const double lightAbove = (above[0] + above[1] + above[2]) / (410.0 * 640);
        const double lightBelow = (below[0] + below[1] + below[2]) / (70.0 * 640);
        EXPECT_LT(lightBelow, lightAbove * 0.8);
        // Where the topic titles run, every round shows the colour the masks fade into.
        for (int x : {0, 100, 320, 639}) {
            const unsigned char* p = round.at(x, 450);
            EXPECT_EQ(p[0], band.r);
            EXPECT_EQ(p[1], band.g);
            EXPECT_EQ(p[2], band.b);
        }
        moods.push_back(above);
    }
    ASSERT_EQ(moods.size(), 3u);
    EXPECT_GT(moods[0][2], moods[0][0]); // evening blue
    EXPECT_GT(moods[1][0], moods[1][1]); // warm red
    EXPECT_GT(moods[1][0], moods[1][2]);
    EXPECT_GT(moods[2][1], moods[2][0]); // green
    EXPECT_GT(moods[2][1], moods[2][2]);
}

TEST(DemoData, MasksFadeFromTheBandColourAtTheScreenEdgeToClear) {
    const demogen::Rgb band = demogen::kBandColour;
    const Png left = load("lmask.png");
    const Png right = load("rmask.png");
    ASSERT_EQ(left.width, 55);
    ASSERT_EQ(right.width, 55);
    const int row = 50; // y 450 on screen
    const unsigned char* outer = left.at(0, row);
    EXPECT_EQ(outer[0], band.r);
    EXPECT_EQ(outer[1], band.g);
    EXPECT_EQ(outer[2], band.b);
    EXPECT_EQ(outer[3], 255);
    EXPECT_EQ(left.at(54, row)[3], 0);
    EXPECT_EQ(right.at(54, row)[3], 255);
    EXPECT_EQ(right.at(0, row)[3], 0);
    for (int x = 1; x < 55; ++x)
        EXPECT_LE(left.at(x, row)[3], left.at(x - 1, row)[3]) << "column " << x;
    // Above the band (screen y 400) the background shows through.
    EXPECT_EQ(left.at(0, 0)[3], 0);
    EXPECT_EQ(right.at(54, 0)[3], 0);
}

TEST(DemoData, AlphaPicturesHaveSoftEdgesAndClearCorners) {
    for (const char* name : {"qmark.png", "l_0.png", "r_1.png", "bl_0.png", "br_1.png"}) {
        SCOPED_TRACE(name);
        const Png png = load(name);
        ASSERT_EQ(png.channels(), 4);
        int opaque = 0, soft = 0;
        for (int y = 0; y < png.height; ++y) {
            for (int x = 0; x < png.width; ++x) {
                const int a = png.at(x, y)[3];
                opaque += a == 255 ? 1 : 0;
                soft += a > 0 && a < 255 ? 1 : 0;
            }
        }
        EXPECT_GT(opaque, 20);
        EXPECT_GT(soft, 10);
        EXPECT_EQ(png.at(0, 0)[3], 0);
        EXPECT_EQ(png.at(png.width - 1, png.height - 1)[3], 0);
    }
    for (const char* base : {"l", "r", "bl", "br"}) {
        EXPECT_NE(load(std::string(base) + "_0.png").pixels,
                  load(std::string(base) + "_1.png").pixels)
            << base << ": the highlighted look equals the normal one";
    }
}

TEST(DemoData, SoundsAreShortMonoSixteenBitPcmThatStartsAndEndsQuietly) {
    for (const char* name : {"clicked.wav", "selected.wav", "deleted.wav"}) {
        SCOPED_TRACE(name);
        const std::string wav = readBytes(kChoice + name);
        ASSERT_GE(wav.size(), 44u);
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(word(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(word(wav, 16, 4), 16u);
        EXPECT_EQ(word(wav, 20, 2), 1u);     // PCM
        EXPECT_EQ(word(wav, 22, 2), 1u);     // mono
        EXPECT_EQ(word(wav, 24, 4), 22050u); // frames per second
        EXPECT_EQ(word(wav, 28, 4), 44100u); // bytes per second
        EXPECT_EQ(word(wav, 32, 2), 2u);     // bytes per frame
        EXPECT_EQ(word(wav, 34, 2), 16u);    // bits per sample
        EXPECT_EQ(wav.substr(36, 4), "data");
        const std::uint32_t bytes = word(wav, 40, 4);
        ASSERT_EQ(bytes, wav.size() - 44);
        const double milliseconds = bytes / 2 * 1000.0 / 22050;
        EXPECT_GE(milliseconds, 50);
        EXPECT_LE(milliseconds, 400);

        int peak = 0;
        for (std::size_t at = 44; at < wav.size(); at += 2)
            peak = std::max(peak, std::abs(static_cast<std::int16_t>(word(wav, at, 2))));
        EXPECT_GT(peak, 8000) << "too quiet to hear";
        const auto last = static_cast<std::int16_t>(word(wav, wav.size() - 2, 2));
        EXPECT_LT(std::abs(last), 200) << "ends with a click";
    }
}

// Every file of the folder is made by the build, and making it again gives the same bytes.
TEST(DemoData, GeneratorRebuildsTheSameFolderByteForByte) {
    const auto scratch =
        std::filesystem::temp_directory_path() / ("qx-demogen-" + std::to_string(::getpid()));
    std::filesystem::create_directories(scratch);
    demogen::writeChoiceFolder(scratch.string(), QX_DEMO_SOURCE_DIR "/choice/values.txt",
                               QX_DEMO_FONT);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QX_DEMO_OUTPUT_DIR "/choice")) {
        ++files;
        const auto& names = demogen::choiceFolderFiles();
        const std::string name = entry.path().filename().string();
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << name << " is not a file of the choice folder";
    }
    EXPECT_EQ(files, demogen::choiceFolderFiles().size());
    for (const std::string& name : demogen::choiceFolderFiles()) {
        const std::string built = readBytes(kChoice + name);
        EXPECT_FALSE(built.empty()) << name;
        EXPECT_EQ(built, readBytes((scratch / name).string())) << name << " differs";
    }
    std::filesystem::remove_all(scratch);
}

} // namespace
