#pragma once

#include "qx/resources.h"
#include "qx/scene.h"
#include "visual/KeyedImage.h"
#include "visual/TextElement.h"
#include "visual/VisibleElement.h"

namespace qx {

class QXMouseListener;

// The pointer picture, moved by the scene with the mouse. While a topic is dragged it
// carries the topic's text element at the distance it had from the pointer when picked up.
class Cursor : public VisibleElement {
public:
    // The picture is found by name in the resources; without it the cursor draws nothing.
    Cursor(ResourceDirectory* resources, const char* pictureName);
    ~Cursor() override;

    void carry(TopicItem* value, TextElement* element, QXMouseListener* from);
    void drop();
    TopicItem* carriedValue() const { return carriedValue_; }
    TextElement* carriedElement() const { return carriedElement_; }
    QXMouseListener* carrier() const { return carrier_; }

    // Draws the picture and moves the carried element; its topic button draws it.
    void draw(Canvas* canvas) override;
    Rect bounds() override;

    KeyedImage* picture = nullptr; // owned

private:
    TextElement* carriedElement_ = nullptr;
    TopicItem* carriedValue_ = nullptr;
    QXMouseListener* carrier_ = nullptr;
    Point grabOffset;
};

} // namespace qx
