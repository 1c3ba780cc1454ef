#include <gtest/gtest.h>

#include <vector>

#include "qx/bitmap.h"
#include "runtime/Host.h"
#include "services/HostServices.h"
#include "support/FakeBitmaps.h"

namespace {

using qxtest::FakeBitmapFactory;

class BitmapTest : public ::testing::Test {
protected:
    qx::BitmapDescription picture(std::int32_t bits, const char* format) {
        qx::BitmapDescription d{};
        d.width = 4;
        d.height = 3;
        d.bitsPerPixel = bits;
        d.format = qx::atomOf(format);
        return d;
    }
    qxhost::Host host;
    FakeBitmapFactory vanilla;
    FakeBitmapFactory other{"otherimage"};
};

TEST_F(BitmapTest, FactoryIsVanillaImageUnlessTheSettingNamesAnother) {
    auto d = picture(16, "-rrrrrgggggbbbbb");
    EXPECT_EQ(qx::Bitmap(&d).factory, &vanilla);
    EXPECT_EQ(d.flags, 1u) << "word eleven becomes one also in the caller's record";
    auto seven = picture(16, "-rrrrrgggggbbbbb");
    seven.flags = 7;
    EXPECT_EQ(qx::Bitmap(&seven).description.flags, 7u);
    host.setSetting("DefaultBitmapFactory", "otherimage");
    EXPECT_EQ(qx::Bitmap(&d).factory, &other);
    EXPECT_EQ(other.destroyed, 1) << "the object goes back to the factory that made it";
    EXPECT_TRUE(host.log().lines().empty());

    host.setSetting("DefaultBitmapFactory", "nosuchfactory");
    qx::Bitmap orphan(&d);
    EXPECT_TRUE(host.log().contains(3, "Bitmap: No BitmapFactory found."));
    EXPECT_EQ(orphan.lockRows(0, 0), nullptr);
    EXPECT_EQ(orphan.load(nullptr), 0);
    EXPECT_EQ(orphan.convert(&d), 0);
}

TEST_F(BitmapTest, AFailedCreateIsGivenBackAndANullBlockIsUnlockedAsAnyOther) {
    auto d = picture(16, "-rrrrrgggggbbbbb");
    vanilla.refuse = true;
    {
        qx::Bitmap refused(&d);
        EXPECT_TRUE(host.log().contains(3, "Bitmap: BitmapFactory is unable to create bitmap."));
        refused.unlockRows(nullptr); // no object: nothing to unlock
    }
    EXPECT_EQ(vanilla.givenBack, std::vector<qx::InterfaceTable*>{nullptr});
    vanilla.refuse = false;
    qx::Bitmap made(&d);
    made.unlockRows(nullptr);
    EXPECT_EQ(FakeBitmapFactory::of(&made)->nullUnlocks, 1);
}

TEST_F(BitmapTest, ConversionsReplaceTheDescriptionOnlyWhenAccepted) {
    auto deep = picture(32, "rrrrrrrrggggggggbbbbbbbbaaaaaaaa");
    auto colour = picture(24, "rrrrrrrrggggggggbbbbbbbb");
    auto screen = picture(16, "-rrrrrgggggbbbbb");
    screen.frames = 5;
    qx::Bitmap alpha(&deep), rgb(&colour);
    EXPECT_EQ(alpha.convert(&screen), 0);
    EXPECT_EQ(alpha.description.format, deep.format);
    EXPECT_NE(rgb.convert(&screen), 0);
    EXPECT_EQ(rgb.description.format, screen.format);
    EXPECT_EQ(rgb.description.frames, 5) << "all twelve words are taken over";

    vanilla.withConversion = false;
    qx::Bitmap plain(&colour);
    EXPECT_EQ(plain.convert(&screen), 0);
    EXPECT_TRUE(host.log().lines().empty()) << "an object without conversion is accepted";
}

} // namespace
