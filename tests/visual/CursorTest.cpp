#include "visual/VisualFixture.h"

#include "choice/Cursor.h"
#include "choice/controls/QXMouseListener.h"

namespace {

struct TopicButton final : public qx::QXMouseListener {
    std::int32_t handleEvent(qx::Event*) override { return 1; }
    qx::Rect hitArea() override { return qx::Rect(); }
};

using CursorTest = qxtest::VisualTest;

TEST_F(CursorTest, WithoutItsPictureItDrawsNothingAndHasNoBounds) {
    qx::Cursor cursor(archive.root(), "cursor.png");
    EXPECT_TRUE(host.log().contains(1, "missing resource:<<cursor.png>>\n"));
    cursor.setPosition(50, 60);
    cursor.draw(&canvas);
    EXPECT_EQ(cursor.getBounds(), qx::Rect(0, 0, 0, 0));
    EXPECT_TRUE(surface.lockCalls.empty());
}

TEST_F(CursorTest, CarriedTextKeepsItsDistanceFromThePointerUntilDropped) {
    picture("cursor.png", 1, 1, 16, qxtest::kScreenFormat, {0x7FFF});
    qx::Cursor cursor(archive.root(), "cursor.png");
    qxtest::FakeFont font;
    qx::TextElement title(90, 95, &font.font, "topic");
    qx::TopicItem topic{};
    TopicButton button;
    cursor.setPosition(100, 100);
    cursor.carry(&topic, &title, &button);
    EXPECT_EQ(cursor.carrier(), &button);
    cursor.setPosition(200, 300);
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_EQ(surface.pixel(200, 300), 0x7FFF);
    EXPECT_EQ(cursor.touchable()->getBounds(), qx::Rect(200, 300, 1, 1));
    EXPECT_TRUE(font.renderer.lines.empty()) << "its topic button draws the text";

    cursor.drop();
    EXPECT_EQ(cursor.carriedValue(), nullptr);
    EXPECT_EQ(cursor.carriedElement(), nullptr);
    cursor.setPosition(10, 10);
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_EQ(cursor.getBounds(), qx::Rect(10, 10, 1, 1));
}

} // namespace
