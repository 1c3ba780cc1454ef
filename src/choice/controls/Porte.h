#pragma once

#include "choice/controls/QXLockPorte.h"
#include "choice/controls/QXMouseListener.h"
#include "qx/resources.h"
#include "qx/scene.h"
#include "visual/VisibleElement.h"

namespace qx {

class AlphaImage;
class Cursor;
class SoundResource;
class TextElement;
class TranslucentImage;

// A numbered door: takes a topic dropped on it, shows its title at the text centre, and
// gives it back up on a press unless the doors are locked.
class Porte final : public VisibleElement, public QXMouseListener, public QXLockPorte {
public:
    Porte();
    Porte(const Porte&) = delete;
    Porte& operator=(const Porte&) = delete;
    ~Porte() override;

    void setUp(ResourceDirectory* resources, const char* pictureName, AlphaImage* questionMark,
               std::int32_t x, std::int32_t y, std::int32_t textX, std::int32_t textY,
               Cursor* cursor);

    // IVisible
    void draw(Canvas* canvas) override;
    // ITouchable and QXMouseListener
    std::int32_t handleEvent(Event* event) override;
    Rect hitArea() override;
    // QXLockPorte
    void lock() override;
    void unlock() override;

    // The producer's record of the held topic, or null for an empty door.
    TopicItem* heldTopic() const { return topicItem_; }
    // Where the held text's top-left corner goes, centred on the text centre.
    Point textPlacement();

    std::int32_t isLocked() const { return locked_; }
    std::int32_t isArmed() const { return armed_; }
    double markOpacity() const { return markOpacity_; }
    double pictureOpacity() const { return pictureOpacity_; }
    Point markPosition() const { return markPosition_; }

private:
    void entered();
    void left();
    void takeOut();
    void buttonUp(Point at);
    void dropIn();
    static void send(QXMouseListener* target, Event* event);

    TranslucentImage* picture_ = nullptr;
    Point markPosition_;
    Point textCentre_;
    AlphaImage* questionMark_ = nullptr;
    Cursor* cursor_ = nullptr;
    QXMouseListener* holder_ = nullptr;
    std::int32_t locked_ = 0;
    double markOpacity_ = 1.0;
    double pictureOpacity_ = 1.0;
    TopicItem* topicItem_ = nullptr;
    TextElement* topicText_ = nullptr;
    SoundResource* selectedSound_ = nullptr;
    SoundResource* deletedSound_ = nullptr;
    std::int32_t armed_ = 0;
};

} // namespace qx
