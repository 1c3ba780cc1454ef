#include "visual/VisualFixture.h"

#include "choice/Cursor.h"
#include "choice/controls/QXMouseListener.h"

namespace {

struct TopicButton final : public qx::QXMouseListener {
    std::int32_t handleEvent(qx::Event*) override { return 1; }
    qx::Rect hitArea() override { return qx::Rect(); }
};

using CursorTest = qxtest::VisualTest;

TEST_F(CursorTest, WithoutItsPictureNothingElseCarriedTextKeepsItsDistanceUntilDropped) {
    {
        qx::Cursor blind(archive.root(), "cursor.png");
        EXPECT_TRUE(host.log().contains(1, "missing resource:<<cursor.png>>\n"));
        blind.setPosition(50, 60);
        blind.draw(&canvas);
        EXPECT_EQ(blind.bounds(), qx::Rect(0, 0, 0, 0));
        EXPECT_TRUE(surface.lockCalls.empty());
    }
    picture("cursor.png", 1, 1, 16, qxtest::kScreenFormat, {0x7FFF});
    qx::Cursor cursor(archive.root(), "cursor.png");
    qxtest::FakeFont font;
    qx::TextElement title(90, 95, &font.font, "topic");
    qx::TopicItem topic{};
    TopicButton button;
    cursor.setPosition(100, 100);
    cursor.carry(&topic, &title, &button);
    cursor.setPosition(200, 300);
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_EQ(surface.pixel(200, 300), 0x7FFF);
    EXPECT_EQ(qx::boundsOf(cursor.touchable()), qx::Rect(200, 300, 1, 1));
    EXPECT_TRUE(font.renderer.lines.empty()) << "its topic button draws the text";

    cursor.drop();
    EXPECT_EQ(cursor.carrier(), nullptr);
    cursor.setPosition(10, 10);
    cursor.draw(&canvas);
    EXPECT_EQ(title.position, qx::Point(190, 295));
    EXPECT_EQ(cursor.bounds(), qx::Rect(10, 10, 1, 1));
}

} // namespace
