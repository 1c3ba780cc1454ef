#include "choice/SceneElementList.h"

#include "core/Memory.h"

namespace qx {

SceneElementList::~SceneElementList() {
    if (root != nullptr) {
        root->freeSubtree();
        root = nullptr;
    }
}

void SceneElementList::add(IVisible* element) {
    auto* node = new (fallible) ElementNode(element);
    if (node == nullptr) {
        return;
    }
    if (root == nullptr) {
        root = node;
        return;
    }
    if (root->firstChild == nullptr) {
        root->firstChild = node;
        return;
    }
    ElementNode* last = root->firstChild;
    while (last->nextSibling != nullptr) {
        last = last->nextSibling;
    }
    last->nextSibling = node;
}

} // namespace qx
