// visual/: what is drawn: the element base, the canvas's drawing operations, the element
// tree, the picture elements (plain, frame strip, alpha, keyed, translucent) with their
// tables and row kernels, and text. Includes media/, resource/, core/, platform/, services/
// and the contract.
#pragma once

#include "qx/registry.h"
#include "qx/visual.h"

namespace qx {

// Base of everything shown and touchable. Publishes "IVisible" and "ITouchable" for its
// whole life; owners write `hidden` and `position` directly between frames.
class VisibleElement : public IVisible, public ITouchable {
public:
    VisibleElement();
    VisibleElement(const VisibleElement&) = delete;
    VisibleElement& operator=(const VisibleElement&) = delete;
    virtual ~VisibleElement() = default;

    // IVisible (getBounds serves ITouchable as well, answering bounds())
    void draw(Canvas* canvas) override;
    Rect* getBounds(Rect* result) final;
    std::int32_t isHidden() override { return hidden; }
    void setPosition(std::int32_t x, std::int32_t y) override { position = Point(x, y); }

    // ITouchable
    std::int32_t accepts(std::int32_t a, std::int32_t b) override;
    std::int32_t handleEvent(Event* event) override;

    // The element's rectangle; elements whose extent comes from elsewhere override it.
    virtual Rect bounds();

    ITouchable* touchable() { return this; }

    InterfaceTable table;
    Rect frame;              // width and height are the base size; x and y are not read
    std::int32_t hidden = 0; // nonzero: not drawn
    Point position;          // relative to the origin the parent gives
};

} // namespace qx
