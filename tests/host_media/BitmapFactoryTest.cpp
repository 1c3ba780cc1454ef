#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "MediaTestSupport.h"
#include "media/BitmapFactory.h"
#include "qx/geometry.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class Bitmaps : public ::testing::Test {
protected:
    qx::BitmapDescription describe(std::int32_t w, std::int32_t h, std::int32_t bits,
                                   const char* format) {
        qx::BitmapDescription d{};
        d.resource.type = atom("image");
        d.width = w;
        d.height = h;
        d.bitsPerPixel = bits;
        d.format = atom(format);
        d.frames = 1;
        return d;
    }
    // A bitmap loaded with the given rows, as an image element loads a picture.
    qxhost::VanillaBitmap* make(qx::BitmapDescription d, const Bytes& rows) {
        qx::InterfaceTable* table = factory.create(&d);
        mediatest::BytesReader reader(host, rows);
        static_cast<qx::IBitmap*>(table->getInterface(qx::kIBitmapName))->load(reader.read());
        return factory.bitmapOf(table);
    }
    std::int32_t convert(qxhost::VanillaBitmap* bitmap, std::int32_t bits, const char* format) {
        qx::BitmapDescription wanted = bitmap->description();
        wanted.bitsPerPixel = bits;
        wanted.format = atom(format);
        return static_cast<qx::IBitmapConversion*>(bitmap)->convert(&wanted);
    }
    static std::uint16_t word(const Bytes& b, std::size_t i) {
        return static_cast<std::uint16_t>(b[2 * i] | (b[2 * i + 1] << 8));
    }
    std::uint32_t atom(const char* name) { return host.atoms().identifierOf(name); }

    qxhost::Host host;
    qxhost::VanillaBitmapFactory factory{host};
};

TEST_F(Bitmaps, LoadsRowsLocksThemByRowNumberAndRefusesWhatItCannotHold) {
    Bytes rows(4 * 3 * 3);
    std::iota(rows.begin(), rows.end(), std::uint8_t{0});
    qxhost::VanillaBitmap* bitmap = make(describe(4, 3, 24, "rrrrrrrrggggggggbbbbbbbb"), rows);
    qx::RowBlock* block = bitmap->lockRows(1, 2);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->pitch, 12);
    EXPECT_EQ(block->address[12 + 3], rows[12 + 12 + 3]); // second locked row, pixel 1
    for (auto [first, last] : {std::pair{2, 3}, {-1, 0}, {2, 1}}) {
        EXPECT_EQ(bitmap->lockRows(first, last), nullptr) << first << ".." << last;
    }
    bitmap->unlockRows(block);

    // A short stream loads what there is and reports the shortfall.
    qx::BitmapDescription d = describe(10, 10, 8, "aaaaaaaa");
    qx::InterfaceTable* table = factory.create(&d);
    mediatest::BytesReader reader(host, Bytes(rows.begin(), rows.begin() + 5));
    EXPECT_EQ(static_cast<qx::IBitmap*>(table->getInterface(qx::kIBitmapName))->load(reader.read()),
              0);
    EXPECT_TRUE(
        host.log().contains(qx::kLogError, "vanillaimage: picture data ends after 5 of 100 bytes"));
    for (auto bad : {describe(2, 2, 12, "rrrrggggbbbb"), describe(100000, 1, 8, "aaaaaaaa"),
                     describe(-1, 5, 8, "aaaaaaaa")}) {
        EXPECT_EQ(factory.create(&bad), nullptr);
    }
    EXPECT_TRUE(host.log().contains(qx::kLogError,
                                    "vanillaimage: cannot hold pictures of 12 bits per pixel"));
    EXPECT_EQ(host.log().lines().size(), 4u);
}

TEST_F(Bitmaps, TwentyFourToSixteenMatchesColourPacking) {
    // Seeded pixels, biased to channel ends, against the module's colour-key packing.
    std::mt19937 random(1234);
    const std::uint8_t edges[] = {0, 7, 8, 127, 128, 247, 248, 255};
    auto pick = [&] {
        return random() % 2 ? edges[random() % 8] : static_cast<std::uint8_t>(random());
    };
    Bytes rows;
    std::vector<qx::Colour> colours;
    for (int i = 0; i < 500; ++i) {
        const qx::Colour& c = colours.emplace_back(pick(), pick(), pick());
        rows.insert(rows.end(),
                    {static_cast<std::uint8_t>(c.blue), static_cast<std::uint8_t>(c.green),
                     static_cast<std::uint8_t>(c.red)});
    }
    qxhost::VanillaBitmap* bitmap = make(describe(500, 1, 24, "rrrrrrrrggggggggbbbbbbbb"), rows);
    ASSERT_EQ(convert(bitmap, 16, "-rrrrrgggggbbbbb"), 1);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        ASSERT_EQ(word(bitmap->pixels(), i), colours[i].pixelValue(atom("-rrrrrgggggbbbbb")))
            << "seed 1234, pixel " << i;
    }
}

TEST_F(Bitmaps, ConversionsWidenNarrowOrLeaveThePictureAlone) {
    const Bytes rgba = {10, 20, 30, 40, 250, 251, 252, 0};
    qxhost::VanillaBitmap* bitmap =
        make(describe(2, 1, 32, "aaaaaaaarrrrrrrrggggggggbbbbbbbb"), rgba);
    EXPECT_EQ(convert(bitmap, 16, "-rrrrrgggggbbbbb"), 0); // 32 to 16 is refused
    EXPECT_EQ(convert(bitmap, 16, "rgbrgbrgbrgbrgb-"), 0); // split channels
    EXPECT_EQ(convert(bitmap, 24, "-rrrrrgggggbbbbb"), 0); // name and depth disagree
    EXPECT_EQ(convert(bitmap, 16, "no such format name"), 0);
    qx::RowBlock* block = bitmap->lockRows(0, 0);
    EXPECT_EQ(convert(bitmap, 24, "rrrrrrrrggggggggbbbbbbbb"), 0); // rows are in use
    bitmap->unlockRows(block);
    EXPECT_EQ(bitmap->description().bitsPerPixel, 32);
    EXPECT_EQ(bitmap->pixels(), rgba);
    ASSERT_EQ(convert(bitmap, 24, "rrrrrrrrggggggggbbbbbbbb"), 1);
    EXPECT_EQ(bitmap->pixels(), (Bytes{10, 20, 30, 250, 251, 252}));

    // Widening repeats the top bits, so full scale stays full scale.
    qxhost::VanillaBitmap* screen =
        make(describe(2, 1, 16, "-rrrrrgggggbbbbb"), {0xFF, 0x7F, 0x21, 0x04});
    ASSERT_EQ(convert(screen, 24, "rrrrrrrrggggggggbbbbbbbb"), 1);
    EXPECT_EQ(screen->pixels(), (Bytes{255, 255, 255, 8, 8, 8}));
    qxhost::VanillaBitmap* mask = make(describe(2, 1, 8, "aaaaaaaa"), {0, 255});
    ASSERT_EQ(convert(mask, 16, "-rrrrrgggggbbbbb"), 1);
    EXPECT_EQ(word(mask->pixels(), 1), 0x7FFF);
    ASSERT_EQ(convert(mask, 16, "rrrrrggggggbbbbb"), 1); // 16 to 16, another layout
    EXPECT_EQ(word(mask->pixels(), 1), 0xFFFF);
}

} // namespace
