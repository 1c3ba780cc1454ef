#include "visual/VisualFixture.h"

#include <string>
#include <vector>

#include "choice/SceneElementList.h"
#include "core/EventObject.h"
#include "visual/ElementTree.h"
#include "visual/VisibleElement.h"

namespace {

using qxtest::VisualTest;

// An element that notes the canvas origin at each of its draws into a shared journal.
struct Probe final : public qx::VisibleElement {
    Probe(std::string label, std::vector<std::string>& journal)
        : name(std::move(label)), log(journal) {}
    void draw(qx::Canvas* canvas) override {
        log.push_back(name + "@" + std::to_string(canvas->origin.x) + "," +
                      std::to_string(canvas->origin.y));
    }
    std::string name;
    std::vector<std::string>& log;
};

class ElementTreeTest : public VisualTest {
protected:
    qx::ElementNode* node(Probe& probe) { return new qx::ElementNode(&probe); }
    std::vector<std::string> journal;
};

TEST_F(ElementTreeTest, BaseElementHasHarmlessDefaultsAndLivesInTheRegistry) {
    class Noop final : public qx::EventObject<Noop> {
    public:
        Noop() : EventObject(1u, "Test::noop") {}
    };
    {
        qx::VisibleElement element;
        EXPECT_EQ(element.getBounds(), qx::Rect(0, 0, 0, 0));
        EXPECT_EQ(element.isHidden(), 0);
        EXPECT_EQ(element.accepts(-7, 99), 1);
        element.frame = qx::Rect(30, 40, 8, 9);
        element.setPosition(100, 50);
        EXPECT_EQ(element.getBounds(), qx::Rect(100, 50, 8, 9)) << "the frame's corner is not read";
        EXPECT_EQ(element.touchable()->getBounds(), element.visible()->getBounds());

        Noop* event = new Noop;
        EXPECT_EQ(element.handleEvent(event), 0);
        EXPECT_EQ(qx::liveModuleEvents(), 1) << "the caller keeps the event";
        qx::destroyEvent(event);

        EXPECT_EQ(host.findInterface("<unnamed>", "IVisible"), element.visible());
        EXPECT_EQ(host.findInterface(nullptr, "ITouchable"), element.touchable());
    }
    EXPECT_EQ(host.findInterface(nullptr, "IVisible"), nullptr);
    EXPECT_EQ(host.findInterface(nullptr, "ITouchable"), nullptr);
}

TEST_F(ElementTreeTest, ChildrenAreDrawnAtTheirParentsPosition) {
    Probe root("root", journal);
    Probe child("child", journal);
    Probe grandchild("grandchild", journal);
    root.setPosition(100, 50);
    child.setPosition(10, 10);
    qx::ElementNode* top = node(root);
    top->firstChild = node(child);
    top->firstChild->firstChild = node(grandchild);
    qx::ElementTree tree(&canvas, top);
    canvas.setOrigin(9, 9);
    tree.drawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"root@0,0", "child@100,50", "grandchild@110,60"}));
    top->freeSubtree();
}

TEST_F(ElementTreeTest, HiddenElementsAreSkippedWithTheirChildren) {
    Probe root("root", journal);
    Probe first("first", journal);
    Probe below("below", journal);
    Probe second("second", journal);
    Probe third("third", journal);
    root.setPosition(7, 8);
    qx::ElementNode* top = node(root);
    top->firstChild = node(first);
    top->firstChild->firstChild = node(below);
    top->firstChild->nextSibling = node(second);
    top->firstChild->nextSibling->nextSibling = node(third);
    qx::ElementTree tree(&canvas, top);

    first.hidden = 1;
    tree.drawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"root@0,0", "second@7,8", "third@7,8"}));

    journal.clear();
    root.hidden = 1;
    first.hidden = 0;
    tree.drawAll();
    EXPECT_TRUE(journal.empty()) << "a hidden root hides the whole tree";
    top->freeSubtree();
}

TEST_F(ElementTreeTest, LoneRootAndEmptyTree) {
    Probe root("root", journal);
    root.setPosition(30, 30);
    qx::ElementTree empty(&canvas, nullptr);
    empty.drawAll();
    EXPECT_TRUE(journal.empty());

    qx::ElementTree lone(&canvas, nullptr);
    lone.setRoot(node(root));
    canvas.setOrigin(5, 5);
    lone.drawAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"root@0,0"}));
    lone.root->freeSubtree();
}

TEST_F(ElementTreeTest, SceneListMakesTheFirstElementTheRootAndOwnsOnlyNodes) {
    Probe a("a", journal);
    Probe b("b", journal);
    Probe c("c", journal);
    {
        qx::SceneElementList list(&canvas);
        list.add(&a);
        list.add(&b);
        list.add(&c);
        ASSERT_NE(list.root, nullptr);
        EXPECT_EQ(list.root->element, &a);
        ASSERT_NE(list.root->firstChild, nullptr);
        EXPECT_EQ(list.root->firstChild->element, &b);
        ASSERT_NE(list.root->firstChild->nextSibling, nullptr);
        EXPECT_EQ(list.root->firstChild->nextSibling->element, &c);
        EXPECT_EQ(list.root->firstChild->firstChild, nullptr);
        list.drawAll();
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"a@0,0", "b@0,0", "c@0,0"}));
    a.setPosition(1, 1); // the elements outlive the list (ASan would object otherwise)
    EXPECT_EQ(a.getBounds().x, 1);
}

} // namespace
