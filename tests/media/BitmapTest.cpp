#include <gtest/gtest.h>

#include <cstring>

#include "module/HostServices.h"
#include "qx/bitmap.h"
#include "runtime/Host.h"
#include "support/FakeBitmaps.h"

namespace {

using qxtest::FakeBitmapFactory;

class BitmapTest : public ::testing::Test {
protected:
    qx::BitmapDescription picture(std::int32_t bits, const char* format) {
        qx::BitmapDescription d{};
        d.resource.type = qx::atomOf("image");
        d.width = 4;
        d.height = 3;
        d.bitsPerPixel = bits;
        d.format = qx::atomOf(format);
        d.extra = 9;
        d.frames = 1;
        d.extra2 = 12;
        return d;
    }
    qxhost::Host host;
};

TEST_F(BitmapTest, FactoryIsVanillaImageUnlessTheSettingNamesAnother) {
    FakeBitmapFactory vanilla;
    FakeBitmapFactory other("otherimage");
    auto d = picture(16, "-rrrrrgggggbbbbb");
    {
        qx::Bitmap plain(&d);
        EXPECT_EQ(plain.factory, &vanilla);
    }
    host.setSetting("DefaultBitmapFactory", "otherimage");
    {
        qx::Bitmap chosen(&d);
        EXPECT_EQ(chosen.factory, &other);
        EXPECT_NE(chosen.bitmap, nullptr);
    }
    EXPECT_EQ(vanilla.created, 1);
    EXPECT_EQ(other.created, 1);
    EXPECT_EQ(other.destroyed, 1);
    EXPECT_TRUE(host.log().lines().empty());
}

TEST_F(BitmapTest, MissingFactoryLeavesAnInertBitmap) {
    FakeBitmapFactory vanilla;
    host.setSetting("DefaultBitmapFactory", "nosuchfactory");
    auto d = picture(16, "-rrrrrgggggbbbbb");
    qx::Bitmap bitmap(&d);
    EXPECT_TRUE(host.log().contains(3, "Bitmap: No BitmapFactory found."));
    EXPECT_EQ(bitmap.factory, nullptr);
    EXPECT_EQ(bitmap.description.width, 4) << "the description is still copied";
    EXPECT_EQ(bitmap.lockRows(0, 0), nullptr);
    EXPECT_EQ(bitmap.load(nullptr), 0);
    EXPECT_EQ(bitmap.convert(&d), 0);
    EXPECT_EQ(vanilla.created, 0);
}

TEST_F(BitmapTest, WordElevenBecomesOneInTheCallersRecordToo) {
    FakeBitmapFactory vanilla;
    auto zero = picture(16, "-rrrrrgggggbbbbb");
    qx::Bitmap first(&zero);
    EXPECT_EQ(zero.flags, 1u);
    EXPECT_EQ(first.description.flags, 1u);

    auto seven = picture(16, "-rrrrrgggggbbbbb");
    seven.flags = 7;
    qx::Bitmap second(&seven);
    EXPECT_EQ(seven.flags, 7u);
    EXPECT_EQ(second.description.flags, 7u);
}

TEST_F(BitmapTest, CreationFailuresAreLoggedAndLeaveOperationsHarmless) {
    FakeBitmapFactory vanilla;
    auto d = picture(16, "-rrrrrgggggbbbbb");
    vanilla.failCreate = true;
    {
        qx::Bitmap refused(&d);
        EXPECT_TRUE(host.log().contains(3, "Bitmap: BitmapFactory is unable to create bitmap."));
        EXPECT_EQ(refused.lockRows(0, 0), nullptr);
    }
    EXPECT_EQ(vanilla.destroyed, 0) << "nothing was made, nothing is given back";

    vanilla.failCreate = false;
    vanilla.withIBitmap = false;
    {
        qx::Bitmap bare(&d);
        EXPECT_TRUE(host.log().contains(3, "Bitmap: Bitmap has no IBitmap."));
        EXPECT_EQ(bare.load(nullptr), 0);
        bare.unlockRows(nullptr);
    }
    EXPECT_EQ(vanilla.destroyed, 1) << "an object without IBitmap is still given back";
}

TEST_F(BitmapTest, ConversionsReplaceTheDescriptionOnlyWhenAccepted) {
    FakeBitmapFactory vanilla;
    auto deep = picture(32, "rrrrrrrrggggggggbbbbbbbbaaaaaaaa");
    qx::Bitmap alpha(&deep);
    auto screen = deep;
    screen.bitsPerPixel = 16;
    screen.format = qx::atomOf("-rrrrrgggggbbbbb");
    EXPECT_EQ(alpha.convert(&screen), 0);
    EXPECT_EQ(alpha.description.bitsPerPixel, 32);
    EXPECT_EQ(alpha.description.format, deep.format);

    auto colour = picture(24, "rrrrrrrrggggggggbbbbbbbb");
    qx::Bitmap rgb(&colour);
    screen = colour;
    screen.bitsPerPixel = 16;
    screen.format = qx::atomOf("-rrrrrgggggbbbbb");
    screen.extra = 99;
    screen.frames = 5;
    EXPECT_NE(rgb.convert(&screen), 0);
    EXPECT_EQ(rgb.description.bitsPerPixel, 16);
    EXPECT_EQ(rgb.description.extra, 99u) << "all twelve words are taken over";
    EXPECT_EQ(rgb.description.frames, 5);

    vanilla.withConversion = false;
    qx::Bitmap plain(&colour);
    EXPECT_NE(plain.bitmap, nullptr);
    EXPECT_EQ(plain.conversion, nullptr);
    EXPECT_EQ(plain.convert(&screen), 0);
    EXPECT_TRUE(host.log().lines().empty()) << "a missing conversion is accepted silently";
}

TEST_F(BitmapTest, LockedRowsAddressPixelsByPitch) {
    FakeBitmapFactory vanilla;
    auto d = picture(16, "-rrrrrgggggbbbbb");
    qx::Bitmap bitmap(&d);
    qx::RowBlock* block = bitmap.lockRows(1, 2);
    ASSERT_NE(block, nullptr);
    FakeBitmapFactory::of(&bitmap)->setValue(3, 2, 0x1234);
    std::uint16_t v;
    std::memcpy(&v, block->address + 1 * block->pitch + 3 * block->bitsPerPixel / 8, 2);
    EXPECT_EQ(v, 0x1234);
    bitmap.unlockRows(block);
    EXPECT_TRUE(FakeBitmapFactory::of(&bitmap)->locks.empty());
}

} // namespace
