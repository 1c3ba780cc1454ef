#include "choice/controls/ImageButton.h"

#include <cstdio>

#include "choice/ChoiceScreen.h"
#include "choice/controls/MouseEvents.h"
#include "core/EventObject.h"
#include "core/Geometry.h"
#include "core/Memory.h"
#include "media/Sound.h"
#include "media/SoundResource.h"
#include "services/HostServices.h"
#include "visual/AlphaImage.h"
#include "visual/FrameStripImage.h"
#include "visual/ImageElement.h"

namespace qx {

namespace {
AlphaImage* makeLook(ResourceDirectory* resources, const char* baseName, int look) {
    char name[64];
    std::snprintf(name, sizeof name, "%s_%d.png/image", baseName, look);
    ResourceEntry* entry = resources != nullptr ? resources->find(name) : nullptr;
    return entry != nullptr ? new (fallible) AlphaImage(entry) : nullptr;
}

SoundResource* makeClick(ResourceDirectory* resources) {
    ResourceEntry* entry = resources != nullptr ? resources->find("clicked.wav/*") : nullptr;
    return entry != nullptr ? new (fallible) SoundResource(entry) : nullptr;
}
} // namespace

ImageButton::ImageButton() {
    table.addInterface(kQXMouseListenerName, static_cast<QXMouseListener*>(this));
}

ImageButton::~ImageButton() {
    delete images_[0];
    delete images_[1];
    delete clickSound_;
}

void ImageButton::setUp(ResourceDirectory* resources, const char* baseName, std::int32_t x,
                        std::int32_t y, std::int32_t id, QXButtonNotify* notify) {
    origin_ = Point(x, y);
    images_[0] = makeLook(resources, baseName, 0);
    if (images_[0] != nullptr) {
        const Rect bounds = images_[0]->bounds();
        if (wide(origin_.x) + bounds.width > screen::kWidth) {
            origin_.x = saturated(screen::kWidth - wide(bounds.width));
        }
        if (wide(origin_.y) + bounds.height > screen::kHeight) {
            origin_.y = saturated(screen::kHeight - wide(bounds.height));
        }
        images_[0]->setPosition(origin_.x, origin_.y);
    }
    images_[1] = makeLook(resources, baseName, 1);
    if (images_[1] != nullptr) {
        images_[1]->setPosition(origin_.x, origin_.y);
    }
    notify_ = notify;
    id_ = id;
    clickSound_ = makeClick(resources);
}

void ImageButton::setUpPlay(ResourceDirectory* resources, FrameStripImage* strip, std::int32_t x,
                            std::int32_t y, std::int32_t id, QXButtonNotify* notify) {
    strip_ = strip;
    origin_ = Point(x, y);
    images_[0] = nullptr;
    images_[1] = nullptr;
    state_ = 0;
    if (strip_ != nullptr) {
        strip_->setPosition(x, y);
    }
    id_ = id;
    notify_ = notify;
    clickSound_ = makeClick(resources);
}

void ImageButton::draw(Canvas* canvas) {
    if (state_ == 0 || state_ == 1) {
        if (AlphaImage* look = images_[state_]) {
            look->setPosition(origin_.x, origin_.y);
            look->draw(canvas);
        } else if (strip_ != nullptr) {
            strip_->setFrame(state_);
            strip_->draw(canvas);
        }
    } else if (state_ == 2) {
        // Pressed: the hover look pushed 2 pixels right and down.
        if (images_[1] != nullptr) {
            images_[1]->setPosition(saturated(wide(origin_.x) + 2), saturated(wide(origin_.y) + 2));
            images_[1]->draw(canvas);
        } else if (strip_ != nullptr) {
            strip_->draw(canvas);
        }
    }
}

Rect ImageButton::hitArea() {
    if (images_[1] != nullptr) {
        return images_[1]->bounds();
    }
    if (strip_ != nullptr) {
        return strip_->bounds();
    }
    return Rect();
}

std::int32_t ImageButton::handleEvent(Event* event) {
    switch (event != nullptr ? event->type : 0) {
    case kMouseEntered: state_ = 1; break;
    case kMouseLeft: state_ = 0; break;
    case kMouseButtonDown: state_ = 2; break;
    case kMouseButtonUp:
        state_ = 0;
        if (notify_ != nullptr) {
            notify_->buttonClicked(id_);
        }
        if (clickSound_ != nullptr && clickSound_->sound() != nullptr) {
            clickSound_->sound()->stop();
            clickSound_->sound()->play(nullptr);
        }
        break;
    default: break;
    }
    destroyEvent(event);
    return 1;
}

} // namespace qx
