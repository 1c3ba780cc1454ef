#pragma once

#include "visual/ElementTree.h"

namespace qx {

// The scene's drawing list: the first element added is the root, every later one a child
// of the root, drawn in order of addition. Owns its nodes, not the elements.
class SceneElementList : public ElementTree {
public:
    explicit SceneElementList(Canvas* target) : ElementTree(target, nullptr) {}
    ~SceneElementList() override;

    void add(IVisible* element);
};

} // namespace qx
