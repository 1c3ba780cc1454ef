#include "visual/VisualFixture.h"

#include <cstring>

#include "core/EventObject.h"
#include "visual/TextElement.h"

namespace {

using qxtest::VisualTest;

template <std::uint32_t kType> class Trigger final : public qx::EventObject<Trigger<kType>> {
public:
    Trigger() : qx::EventObject<Trigger<kType>>(kType, "Test::trigger") {}
};
using Outline = Trigger<qx::kOutlineTrigger>;
using Elsewhere = Trigger<0x120002u>;

class TextElementTest : public VisualTest {
protected:
    ~TextElementTest() override { EXPECT_EQ(qx::liveModuleEvents(), 0); }
    std::vector<qxtest::FakeRenderer::Line>& lines() { return font.renderer.lines; }
    qxtest::FakeFont font;
};

TEST_F(TextElementTest, TrailingNewlinesAreDroppedAndLinesCounted) {
    qx::TextElement text(0, 0, &font.font, "a\nb\n\n");
    EXPECT_STREQ(text.text, "a\nb");
    EXPECT_EQ(text.lineCount, 2);
    text.setText("");
    EXPECT_STREQ(text.text, "");
    EXPECT_EQ(text.lineCount, 1);
    text.setText("\n\n");
    EXPECT_EQ(text.lineCount, 1);
    text.setText(nullptr);
    EXPECT_EQ(text.text, nullptr);
    EXPECT_EQ(text.lineCount, 0);
    text.draw(&canvas);
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(text.getBounds(), qx::Rect(0, 0, 0, 20));
}

TEST_F(TextElementTest, LinesAreAlignedInTheFrameAndSteppedByTheAdvance) {
    // Twelve pixels per line: (20 - 8) * 1.0 * 1000 thousandths.
    qx::TextElement text(100, 50, &font.font, "abc\nabcdefg\na");
    text.frame.width = 101;
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 3u);
    EXPECT_EQ(lines()[0].x, 100);
    EXPECT_EQ(lines()[1].y, 62);
    EXPECT_EQ(lines()[2].y, 74);

    lines().clear();
    text.align = 'c';
    text.draw(&canvas);
    EXPECT_EQ(lines()[0].x, 100 + (101 - 30) / 2);
    EXPECT_EQ(lines()[1].x, 100 + (101 - 70) / 2);
    EXPECT_EQ(lines()[1].text, "abcdefg");
    EXPECT_STREQ(text.text, "abc\nabcdefg\na") << "the newlines are put back";

    lines().clear();
    text.align = 'r';
    text.lineSpacing = 1.5;
    text.draw(&canvas);
    EXPECT_EQ(lines()[0].x, 100 + 101 - 30);
    EXPECT_EQ(lines()[1].y, 68) << "50 + 1000 * 1.5 * 12 * 0.001";
}

TEST_F(TextElementTest, ScalesApplyWhileDrawingAndAreGivenBack) {
    qx::TextElement text(0, 0, &font.font, "ab\ncd");
    font.primary.value = 2.0; // the font's own scale sets the step: (20 - 8) * 2
    font.secondary.value = 3.0;
    text.primaryScale = 0.5;
    text.secondaryScale = 0.25;
    text.setStyle(1);
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines()[1].y, 12) << "1000 * 24 * 0.5 * 0.001";
    EXPECT_EQ(lines()[0].style, 1);
    EXPECT_EQ(font.primary.value, 2.0);
    EXPECT_EQ(font.secondary.value, 3.0);
    EXPECT_EQ(font.font.style(), 0);

    font.primary.value = 1.0;
    EXPECT_EQ(text.textSize(), qx::Size(25, 20)) << "measured at half scale; two lines of 20";
    EXPECT_EQ(font.primary.value, 1.0);
    EXPECT_EQ(text.getBounds(), qx::Rect(0, 0, 50, 20)) << "bounds ignore the element's scale";
}

TEST_F(TextElementTest, CanvasColourAndFontAreRestored) {
    qxtest::FakeFont other;
    canvas.setFont(&other.font);
    canvas.setColour(qx::Colour(1, 2, 3));
    qx::TextElement text(0, 0, &font.font, "x");
    text.colour = qx::Colour(9, 9, 9);
    text.draw(&canvas);
    EXPECT_EQ(lines().at(0).colour, qx::Colour(9, 9, 9));
    EXPECT_EQ(canvas.font, &other.font);
    EXPECT_EQ(canvas.colour, qx::Colour(1, 2, 3));
    EXPECT_EQ(surface.colours.back(), qx::Colour(1, 2, 3));
}

TEST_F(TextElementTest, KeptEventsDecideHowLinesAreDrawn) {
    qx::TextElement text(5, 6, &font.font, "hi");
    EXPECT_EQ(text.handleEvent(new Elsewhere), 1);
    text.draw(&canvas);
    EXPECT_TRUE(lines().empty()) << "another kind of event silences the text";

    text.handleEvent(new Outline);
    EXPECT_EQ(qx::liveModuleEvents(), 1) << "the previous event was destroyed";
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 1u) << "without style 2 the line is drawn plainly";

    lines().clear();
    text.setStyle(2);
    font.styler.styles.clear();
    canvas.setColour(qx::Colour(7, 7, 7));
    text.draw(&canvas);
    ASSERT_EQ(lines().size(), 2u);
    EXPECT_EQ(lines()[0].colour, qx::Colour(255, 255, 255));
    EXPECT_EQ(lines()[0].style, 1);
    EXPECT_EQ(lines()[1].colour, qx::Colour(0, 0, 0));
    EXPECT_EQ(lines()[1].style, 0);
    EXPECT_EQ(lines()[0].x, lines()[1].x);
    EXPECT_EQ(canvas.colour, qx::Colour(7, 7, 7));
    EXPECT_EQ(font.font.style(), 0);
    EXPECT_EQ(font.styler.styles, (std::vector<std::int32_t>{2, 1, 0, 0}));
    EXPECT_EQ(text.isHidden(), 0);
    text.hidden = 1;
    EXPECT_EQ(text.isHidden(), 0) << "text is never hidden through its flag";
}

} // namespace
