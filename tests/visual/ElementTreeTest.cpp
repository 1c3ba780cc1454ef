#include "visual/VisualFixture.h"

#include "choice/SceneElementList.h"
#include "visual/VisibleElement.h"

namespace {

// Notes the canvas origin at each of its draws into a shared journal.
struct Probe final : public qx::VisibleElement {
    Probe(char label, std::string& journal) : name(1, label), log(journal) {}
    void draw(qx::Canvas* canvas) override {
        log +=
            name + std::to_string(canvas->origin.x) + "," + std::to_string(canvas->origin.y) + " ";
    }
    std::string name;
    std::string& log;
};

class ElementTreeTest : public qxtest::VisualTest {
protected:
    std::string journal;
    Probe root{'r', journal}, first{'f', journal}, below{'b', journal}, second{'s', journal};
};

TEST_F(ElementTreeTest, ChildrenDrawAtTheirParentsPositionAndHiddenOnesSkipTheirSubtree) {
    root.setPosition(100, 50);
    first.setPosition(10, 10);
    auto* top = new qx::ElementNode(&root);
    top->firstChild = new qx::ElementNode(&first);
    top->firstChild->firstChild = new qx::ElementNode(&below);
    top->firstChild->nextSibling = new qx::ElementNode(&second);
    qx::ElementTree tree(&canvas, top);
    tree.drawAll();
    EXPECT_EQ(journal, "r0,0 f100,50 b110,60 s100,50 ");

    journal.clear();
    first.hidden = 1;
    tree.drawAll();
    EXPECT_EQ(journal, "r0,0 s100,50 ") << "siblings keep the parent's origin";

    journal.clear();
    root.hidden = 1;
    first.hidden = 0;
    tree.drawAll();
    EXPECT_EQ(journal, "") << "a hidden root hides everything";
    top->freeSubtree();
}

TEST_F(ElementTreeTest, SceneListMakesTheFirstElementTheRootAndOwnsOnlyNodes) {
    {
        qx::SceneElementList list(&canvas);
        list.drawAll();
        list.add(&root);
        canvas.setOrigin(3, 3);
        list.drawAll();
        root.setPosition(100, 50);
        first.setPosition(10, 10);
        list.add(&first);
        list.add(&second);
        list.drawAll();
    }
    EXPECT_EQ(journal, "r0,0 r0,0 f100,50 s100,50 ") << "the second is no child of the first";
    EXPECT_EQ(second.bounds(), qx::Rect()) << "the elements outlive the list";
}

} // namespace
