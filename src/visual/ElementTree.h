#pragma once

#include "qx/canvas.h"
#include "qx/visual.h"

namespace qx {

// One element of a drawing tree; the element is borrowed.
struct ElementNode {
    explicit ElementNode(IVisible* visible) : element(visible) {}

    // Frees this node, everything below it and its later siblings; elements are untouched.
    void freeSubtree();

    IVisible* element;
    ElementNode* firstChild = nullptr;
    ElementNode* nextSibling = nullptr;
};

// A scene's drawing list. Children are drawn relative to their parent: the canvas origin is
// set to the parent's position before each child draws. Hidden elements are skipped.
class ElementTree {
public:
    ElementTree(Canvas* target, ElementNode* top) : canvas(target), root(top) {}
    ElementTree(const ElementTree&) = delete;
    ElementTree& operator=(const ElementTree&) = delete;
    // Frees nothing: the nodes belong to the derived list.
    virtual ~ElementTree() = default;

    virtual void drawAll();

    // The contract wants both, though the scene's list sets them only at construction.
    void setCanvas(Canvas* target) { canvas = target; }
    void setRoot(ElementNode* top) { root = top; }

    Canvas* canvas;
    ElementNode* root;

private:
    void drawChildren(const ElementNode* parent, Point offset);
};

} // namespace qx
