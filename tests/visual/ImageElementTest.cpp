#include "visual/VisualFixture.h"

#include "visual/FrameStripImage.h"
#include "visual/ImageElement.h"

namespace {

using qxtest::FakeBitmapFactory;
using qxtest::VisualTest;

class ImageElementTest : public VisualTest {
protected:
    std::vector<std::string> traces() {
        std::vector<std::string> found;
        for (const auto& line : host.log().lines()) {
            if (line.level == 1 && line.message.rfind("!Timeing: ", 0) == 0) {
                found.push_back(line.message.substr(10, line.message.find(':', 10) - 10));
            }
        }
        return found;
    }
};

TEST_F(ImageElementTest, LoadingIsTracedAndDeepPicturesAreConverted) {
    qx::ResourceEntry* deep =
        picture("door.png", 2, 1, 24, qxtest::kRgbFormat, {0xFF8000, 0x0000FF});
    qx::ImageElement image(deep);
    EXPECT_EQ(traces(),
              (std::vector<std::string>{"Picture label of door.png\n", "load", "conversion"}));
    EXPECT_TRUE(host.log().contains(1, "!Timeing: Picture label of door.png\n"));
    EXPECT_EQ(image.description.bitsPerPixel, 16);
    EXPECT_EQ(image.description.format, qx::atomOf(qxtest::kScreenFormat));
    qxtest::FakeBitmap* pixels = FakeBitmapFactory::of(image.bitmap);
    EXPECT_EQ(pixels->loads, 1);
    EXPECT_EQ(pixels->value(0, 0), qxtest::rgb15(31, 16, 0)) << "loaded from the entry's stream";
    EXPECT_EQ(pixels->value(1, 0), qxtest::rgb15(0, 0, 31));
    EXPECT_EQ(archive.readersOpen(), 0) << "the stream is given back";
    EXPECT_EQ(archive.pictureRecord("door.png")->flags, 1u) << "word 11 of the archive's record";
}

TEST_F(ImageElementTest, MasksKeepTheirDepthAndScreenPicturesAreLeftAlone) {
    qx::ImageElement mask(picture("mask.png", 3, 3, 8, qxtest::kAlphaFormat));
    EXPECT_EQ(traces(), (std::vector<std::string>{"Picture label of mask.png\n", "load"}));
    EXPECT_EQ(mask.description.bitsPerPixel, 8);

    host.log().clear();
    qx::ImageElement screen(picture("flat.png", 3, 3, 16, qxtest::kScreenFormat));
    EXPECT_EQ(traces().size(), 3u) << "the conversion is traced even when nothing is done";
    EXPECT_TRUE(FakeBitmapFactory::of(screen.bitmap)->conversions.empty());
}

TEST_F(ImageElementTest, RefusedConversionKeepsTheDescription) {
    qx::ImageElement image(picture("alpha.png", 2, 2, 32, qxtest::kArgbFormat));
    EXPECT_EQ(image.description.bitsPerPixel, 32);
    EXPECT_EQ(FakeBitmapFactory::of(image.bitmap)->conversions.size(), 1u);
}

TEST_F(ImageElementTest, BoundsComeFromThePictureAndDrawingClipsAtTheOrigin) {
    qx::ImageElement image(picture("big.png", 64, 32, 16, qxtest::kScreenFormat));
    image.frame = qx::Rect(1, 2, 3, 4);
    image.setPosition(10, 20);
    EXPECT_EQ(image.getBounds(), qx::Rect(10, 20, 64, 32));
    EXPECT_EQ(image.touchable()->getBounds(), qx::Rect(10, 20, 64, 32));

    canvas.setOrigin(-15, 0);
    image.draw(&canvas);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].x, 0);
    EXPECT_EQ(surface.copies[0].y, 20);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(5, 0, 59, 32));
    EXPECT_EQ(surface.copies[0].bitmap, image.bitmap);
    EXPECT_TRUE(FakeBitmapFactory::of(image.bitmap)->conversions.empty());
}

TEST_F(ImageElementTest, ACanvasOfAnotherFormatIsAskedForOnlyOnce) {
    qx::ImageElement image(picture("p.png", 4, 4, 16, qxtest::kScreenFormat));
    canvas.bitsPerPixel = 24;
    canvas.format = qx::atomOf(qxtest::kRgbFormat);
    image.draw(&canvas);
    image.draw(&canvas);
    auto& asked = FakeBitmapFactory::of(image.bitmap)->conversions;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].bitsPerPixel, 24);
    EXPECT_EQ(image.description.bitsPerPixel, 24) << "the refusal is not asked again";
    EXPECT_EQ(image.bitmap->description.bitsPerPixel, 16);
    EXPECT_EQ(surface.copies.size(), 2u);
}

TEST_F(ImageElementTest, FrameStripShowsOneFrame) {
    qx::FrameStripImage strip(picture("play.png", 40, 90, 16, qxtest::kScreenFormat, {}, 3));
    strip.setPosition(5, 6);
    EXPECT_EQ(strip.getBounds(), qx::Rect(5, 6, 40, 30));
    strip.setFrame(2);
    canvas.setOrigin(100, 200);
    canvas.setClip(qx::Rect(0, 0, 1, 1));
    strip.draw(&canvas);
    ASSERT_EQ(surface.copies.size(), 1u);
    EXPECT_EQ(surface.copies[0].x, 105);
    EXPECT_EQ(surface.copies[0].y, 206);
    EXPECT_EQ(surface.copies[0].source, qx::Rect(0, 60, 40, 30)) << "not clipped";
}

TEST_F(ImageElementTest, MissingResourceGivesAnEmptyImage) {
    qx::ImageElement image(nullptr);
    EXPECT_EQ(image.getBounds(), qx::Rect(0, 0, 0, 0));
    image.draw(&canvas);
    EXPECT_EQ(surface.copies.size(), 1u);
    EXPECT_TRUE(surface.copies[0].source.isEmpty());

    qx::FrameStripImage strip(picture("noframes.png", 4, 8, 16, qxtest::kScreenFormat, {}, 0));
    EXPECT_EQ(strip.getBounds().height, 8) << "no frames reads as one frame";
}

} // namespace
