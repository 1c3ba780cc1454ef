#include "visual/VisualFixture.h"

#include "visual/FrameStripImage.h"

namespace {

using qxtest::FakeBitmapFactory;

class ImageElementTest : public qxtest::VisualTest {
protected:
    // The kinds of timing trace written, in order.
    std::string traces() {
        std::string kinds;
        for (const auto& line : host.log().lines()) {
            if (line.level == 1 && line.message.rfind("!Timeing: ", 0) == 0) {
                kinds += line.message.substr(10, line.message.find_first_of(": ", 10) - 10) + " ";
            }
        }
        return kinds;
    }
};

TEST_F(ImageElementTest, LoadingIsTracedAndOnlyNonMaskPicturesAreConverted) {
    qx::ResourceEntry* door = picture("door.png", 2, 1, 24, qxtest::kRgbFormat, {0xFF8000, 0xFF});
    qx::ImageElement deep(door);
    EXPECT_TRUE(host.log().contains(1, "!Timeing: Picture label of door.png\n"));
    EXPECT_EQ(deep.description.format, qx::atomOf(qxtest::kScreenFormat));
    EXPECT_EQ(FakeBitmapFactory::of(deep.bitmap)->value(0, 0), qxtest::rgb15(31, 16, 0));
    EXPECT_EQ(archive.readersOpen(), 0) << "the stream is given back";
    EXPECT_EQ(reinterpret_cast<qx::BitmapDescription*>(archive.root()->entryHandle(door))->flags,
              1u)
        << "word 11 of the archive's record";

    qx::ImageElement mask(picture("mask.png", 3, 3, 8, qxtest::kAlphaFormat));
    qx::ImageElement screen(picture("flat.png", 3, 3, 16, qxtest::kScreenFormat));
    qx::ImageElement alpha(picture("alpha.png", 3, 3, 32, qxtest::kArgbFormat));
    EXPECT_EQ(traces(), "Picture load conversion Picture load Picture load conversion "
                        "Picture load conversion ");
    EXPECT_TRUE(FakeBitmapFactory::of(screen.bitmap)->conversions.empty());
    EXPECT_EQ(alpha.description.bitsPerPixel, 32) << "a refusal keeps the description";
}

TEST_F(ImageElementTest, ACanvasOfAnotherFormatIsAskedForOnce) {
    qx::ImageElement image(picture("p.png", 64, 32, 16, qxtest::kScreenFormat));
    image.frame = qx::Rect(1, 2, 3, 4);
    image.setPosition(10, 20);
    EXPECT_EQ(qx::boundsOf(image.touchable()), qx::Rect(10, 20, 64, 32));
    canvas.bitsPerPixel = 24;
    canvas.format = qx::atomOf(qxtest::kRgbFormat);
    image.draw(&canvas);
    image.draw(&canvas);
    EXPECT_EQ(FakeBitmapFactory::of(image.bitmap)->conversions.size(), 1u);
    EXPECT_EQ(image.description.bitsPerPixel, 24);
    EXPECT_EQ(image.bitmap->description.bitsPerPixel, 16);
}

TEST_F(ImageElementTest, FrameStripShowsOneFrameUnclipped) {
    qx::FrameStripImage strip(picture("play.png", 40, 90, 16, qxtest::kScreenFormat, {}, 3));
    strip.setPosition(5, 6);
    EXPECT_EQ(strip.bounds(), qx::Rect(5, 6, 40, 30));
    strip.setFrame(2);
    canvas.setOrigin(100, 200);
    canvas.setClip(qx::Rect(0, 0, 1, 1));
    strip.draw(&canvas);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(qx::Point(surface.copies[0].x, surface.copies[0].y), qx::Point(105, 206));
    EXPECT_EQ(surface.copies[0].source, qx::Rect(0, 60, 40, 30));
}

} // namespace
