#include "choice/Cursor.h"

#include "core/Geometry.h"
#include "core/Memory.h"

namespace qx {

Cursor::Cursor(ResourceDirectory* resources, const char* pictureName) {
    ResourceEntry* entry = resources != nullptr ? resources->find(pictureName) : nullptr;
    if (entry != nullptr) {
        picture = new (fallible) KeyedImage(entry);
    }
}

Cursor::~Cursor() { delete picture; }

void Cursor::carry(TopicItem* value, TextElement* element, QXMouseListener* from) {
    carriedValue_ = value;
    carriedElement_ = element;
    carrier_ = from;
    grabOffset = element != nullptr ? Point(saturated(wide(position.x) - element->position.x),
                                            saturated(wide(position.y) - element->position.y))
                                    : Point(0, 0);
}

void Cursor::drop() {
    carriedElement_ = nullptr;
    carriedValue_ = nullptr;
    carrier_ = nullptr;
}

void Cursor::draw(Canvas* canvas) {
    if (picture != nullptr) {
        picture->setPosition(position.x, position.y);
        picture->draw(canvas);
    }
    if (carriedElement_ != nullptr) {
        carriedElement_->setPosition(saturated(wide(position.x) - grabOffset.x),
                                     saturated(wide(position.y) - grabOffset.y));
    }
}

Rect Cursor::bounds() { return picture != nullptr ? picture->bounds() : Rect(0, 0, 0, 0); }

} // namespace qx
