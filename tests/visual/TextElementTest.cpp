#include "visual/VisualFixture.h"

#include "core/EventObject.h"
#include "visual/TextElement.h"

namespace {

template <std::uint32_t kType> class Trigger final : public qx::EventObject<Trigger<kType>> {
public:
    Trigger() : qx::EventObject<Trigger<kType>>(kType, "Test::trigger") {}
};

class TextElementTest : public qxtest::VisualTest {
protected:
    ~TextElementTest() override { EXPECT_EQ(qx::liveModuleEvents(), 0); }
    std::vector<qxtest::FakeRenderer::Line>& lines() { return font.renderer.lines; }
    qxtest::FakeFont font; // line height 20, advance 1000, 10 pixels per character
};

TEST_F(TextElementTest, TrailingNewlinesAreDroppedAndLinesCounted) {
    qx::TextElement text(0, 0, &font.font, "a\nb\n\n");
    EXPECT_STREQ(text.text, "a\nb");
    EXPECT_EQ(text.lineCount, 2);
    text.setText("");
    EXPECT_EQ(text.lineCount, 1);
    text.setText(nullptr);
    EXPECT_EQ(text.lineCount, 0);
    text.draw(&canvas);
    EXPECT_TRUE(lines().empty());
}

TEST_F(TextElementTest, LinesAreAlignedInTheFrameAndSteppedByTheAdvance) {
    qx::TextElement text(100, 50, &font.font, "abcd\nabcdefg");
    text.frame.width = 101;
    text.align = 'c';
    text.draw(&canvas);
    text.align = 'r';
    text.lineSpacing = 1.5;
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 4u);
    EXPECT_EQ(qx::Point(lines()[0].x, lines()[0].y), qx::Point(130, 50)) << "(101 - 40) / 2";
    EXPECT_EQ(qx::Point(lines()[1].x, lines()[1].y), qx::Point(115, 62)) << "(20 - 8) * 1.0";
    EXPECT_EQ(qx::Point(lines()[2].x, lines()[3].y), qx::Point(161, 68)) << "spacing 1.5";
    EXPECT_STREQ(text.text, "abcd\nabcdefg") << "the newline is put back";
}

TEST_F(TextElementTest, LinesAtTheEndsOfTheRangeStayThere) {
    constexpr std::int32_t kMax = INT32_MAX, kMin = INT32_MIN;
    qx::TextElement text(kMax - 5, kMax - 5, &font.font, "a\nb\nc");
    text.frame.width = kMin;
    text.align = 'c';
    text.draw(&canvas);
    text.align = 'r';
    text.position = qx::Point(kMin, kMin);
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 6u);
    EXPECT_EQ(qx::Point(lines()[0].x, lines()[0].y), qx::Point(kMax - 5 - 1073741829, kMax - 5));
    EXPECT_EQ(lines()[2].y, kMax) << "stepped down as far as the range goes";
    EXPECT_EQ(qx::Point(lines()[3].x, lines()[3].y), qx::Point(kMin, kMin));
    font.font.descriptionWords[qx::kFontLineHeight] = kMax;
    text.setText(std::string(100, '\n').append("x").c_str());
    EXPECT_EQ(text.textSize(), qx::Size(1010, kMax));
}

TEST_F(TextElementTest, ScalesApplyWhileDrawingAndAreGivenBack) {
    qx::TextElement text(0, 0, &font.font, "ab\ncd");
    font.primary.value = 2.0; // the font's own scale sets the step: (20 - 8) * 2
    text.primaryScale = 0.5;
    text.secondaryScale = 0.25;
    text.draw(&canvas);
    EXPECT_EQ(lines().at(1).y, 12) << "1000 * 24 * 0.5 * 0.001";
    EXPECT_EQ(font.primary.value, 2.0);
    EXPECT_EQ(font.secondary.value, 1.0);

    font.primary.value = 1.0;
    EXPECT_EQ(text.textSize(), qx::Size(25, 20)) << "measured at half scale; 2 lines of 20";
    EXPECT_EQ(font.primary.value, 1.0);
    EXPECT_EQ(text.bounds(), qx::Rect(0, 0, 50, 20)) << "bounds ignore the element's scale";
}

TEST_F(TextElementTest, KeptEventsSelectPlainSilentOrOutlinedLines) {
    qx::TextElement text(5, 6, &font.font, "hi");
    text.colour = qx::Colour(9, 9, 9);
    text.handleEvent(new Trigger<0x120002u>);
    text.draw(&canvas);
    EXPECT_TRUE(lines().empty()) << "another kind of event silences the text";

    text.handleEvent(new Trigger<qx::kOutlineTrigger>);
    text.draw(&canvas);
    EXPECT_EQ(lines().at(0).colour, qx::Colour(9, 9, 9)) << "plain without style 2";

    text.setStyle(2);
    canvas.setColour(qx::Colour(7, 7, 7));
    font.font.setStyle(4);
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 3u);
    EXPECT_EQ(lines()[1].colour, qx::Colour(255, 255, 255));
    EXPECT_EQ(lines()[1].style, 1);
    EXPECT_EQ(lines()[2].colour, qx::Colour(0, 0, 0));
    EXPECT_EQ(lines()[2].style, 0);
    EXPECT_EQ(canvas.colour, qx::Colour(7, 7, 7));
    EXPECT_EQ(surface.colours.back(), qx::Colour(7, 7, 7));
    EXPECT_EQ(font.font.style(), 4);
    EXPECT_EQ(canvas.font, nullptr);
}

} // namespace
