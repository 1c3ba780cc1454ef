#pragma once

#include "choice/controls/QXButtonNotify.h"
#include "choice/controls/QXMouseListener.h"
#include "qx/resources.h"
#include "visual/VisibleElement.h"

namespace qx {

class AlphaImage;
class FrameStripImage;
class SoundResource;

// A push button with a normal, a hover and a pressed look that reports its id on release:
// made from a pair of pictures named after a base name, or from a frame strip (play).
class ImageButton final : public VisibleElement, public QXMouseListener {
public:
    ImageButton();
    ImageButton(const ImageButton&) = delete;
    ImageButton& operator=(const ImageButton&) = delete;
    ~ImageButton() override;

    void setUp(ResourceDirectory* resources, const char* baseName, std::int32_t x, std::int32_t y,
               std::int32_t id, QXButtonNotify* notify);
    void setUpPlay(ResourceDirectory* resources, FrameStripImage* strip, std::int32_t x,
                   std::int32_t y, std::int32_t id, QXButtonNotify* notify);

    // IVisible
    void draw(Canvas* canvas) override;
    // ITouchable and QXMouseListener
    std::int32_t handleEvent(Event* event) override;
    Rect hitArea() override;

    std::int32_t state() const { return state_; }
    Point origin() const { return origin_; }
    AlphaImage* image(int i) const { return images_[i]; }
    QXMouseListener* mouseFace() { return static_cast<QXMouseListener*>(this); }

private:
    Point origin_;
    std::int32_t state_ = 0;
    std::int32_t id_ = 0;
    AlphaImage* images_[2] = {nullptr, nullptr};
    FrameStripImage* strip_ = nullptr;
    QXButtonNotify* notify_ = nullptr;
    SoundResource* clickSound_ = nullptr;
};

} // namespace qx
