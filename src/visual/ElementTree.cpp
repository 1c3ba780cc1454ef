#include "visual/ElementTree.h"

#include "core/Geometry.h"

namespace qx {

void ElementNode::freeSubtree() {
    ElementNode* node = this;
    while (node != nullptr) {
        if (node->firstChild != nullptr) {
            node->firstChild->freeSubtree();
        }
        ElementNode* next = node->nextSibling;
        delete node;
        node = next;
    }
}

void ElementTree::drawAll() {
    if (canvas == nullptr || root == nullptr || root->element == nullptr ||
        root->element->isHidden() != 0) {
        return;
    }
    canvas->setOrigin(0, 0);
    root->element->draw(canvas);
    drawChildren(root, Point(0, 0));
}

void ElementTree::drawChildren(const ElementNode* parent, Point offset) {
    const ElementNode* first = parent->firstChild;
    if (first == nullptr) {
        return;
    }
    const Rect at = boundsOf(parent->element);
    const Point origin(saturated(wide(offset.x) + at.x), saturated(wide(offset.y) + at.y));
    if (first->element != nullptr && first->element->isHidden() == 0) {
        canvas->setOrigin(origin.x, origin.y);
        first->element->draw(canvas);
        drawChildren(first, origin);
    }
    // Only the first child's own children are visited; the scene's trees are one level deep.
    for (const ElementNode* sibling = first->nextSibling; sibling != nullptr;
         sibling = sibling->nextSibling) {
        if (sibling->element != nullptr && sibling->element->isHidden() == 0) {
            canvas->setOrigin(origin.x, origin.y);
            sibling->element->draw(canvas);
        }
    }
}

} // namespace qx
