#include "visual/VisualFixture.h"

#include "choice/Cursor.h"
#include "choice/controls/QXMouseListener.h"

namespace {

using qxtest::VisualTest;

struct TopicButton final : public qx::QXMouseListener {
    std::int32_t handleEvent(qx::Event*) override { return 1; }
    qx::Rect hitArea() override { return qx::Rect(); }
};

class CursorTest : public VisualTest {
protected:
    qxtest::FakeFont font;
};

TEST_F(CursorTest, WithoutItsPictureItDrawsNothingAndHasNoBounds) {
    qx::Cursor cursor(archive.root(), "cursor.png");
    EXPECT_TRUE(host.log().contains(1, "missing resource:<<cursor.png>>\n"));
    EXPECT_EQ(cursor.picture, nullptr);
    cursor.setPosition(50, 60);
    cursor.draw(&canvas);
    EXPECT_EQ(cursor.getBounds(), qx::Rect(0, 0, 0, 0));
    EXPECT_TRUE(surface.lockCalls.empty());

    qx::Cursor homeless(nullptr, "cursor.png");
    EXPECT_EQ(homeless.picture, nullptr);
}

TEST_F(CursorTest, PictureFollowsThePointerAtItsLastDraw) {
    picture("cursor.png", 2, 2, 16, qxtest::kScreenFormat, {0x7FFF, 0, 0, 0x7FFF});
    qx::Cursor cursor(archive.root(), "cursor.png");
    ASSERT_NE(cursor.picture, nullptr);
    cursor.setPosition(300, 200);
    EXPECT_EQ(cursor.getBounds(), qx::Rect(0, 0, 2, 2)) << "not drawn yet";
    cursor.draw(&canvas);
    EXPECT_EQ(cursor.getBounds(), qx::Rect(300, 200, 2, 2));
    EXPECT_EQ(cursor.touchable()->getBounds(), qx::Rect(300, 200, 2, 2));
    EXPECT_EQ(surface.pixel(300, 200), 0x7FFF);
    EXPECT_EQ(surface.pixel(301, 201), 0x7FFF);
}

TEST_F(CursorTest, CarriedTextKeepsItsDistanceFromThePointerUntilDropped) {
    picture("cursor.png", 1, 1, 16, qxtest::kScreenFormat, {0x7FFF});
    qx::Cursor cursor(archive.root(), "cursor.png");
    qx::TextElement title(90, 95, &font.font, "topic");
    qx::TopicItem topic{};
    TopicButton button;
    qx::QXMouseListener* from = &button;

    cursor.setPosition(100, 100);
    cursor.carry(&topic, &title, from);
    EXPECT_EQ(cursor.carriedValue(), &topic);
    EXPECT_EQ(cursor.carriedElement(), &title);
    EXPECT_EQ(cursor.carrier(), from);
    cursor.setPosition(200, 300);
    EXPECT_EQ(title.position, qx::Point(90, 95)) << "moved only when the cursor draws";
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_TRUE(font.renderer.lines.empty()) << "its topic button draws the text";

    cursor.drop();
    EXPECT_EQ(cursor.carriedValue(), nullptr);
    EXPECT_EQ(cursor.carriedElement(), nullptr);
    EXPECT_EQ(cursor.carrier(), nullptr);
    cursor.setPosition(10, 10);
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_EQ(cursor.getBounds(), qx::Rect(10, 10, 1, 1));
}

} // namespace
