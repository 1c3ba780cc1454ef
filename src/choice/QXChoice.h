// choice/, with controls/ and topics/ one floor: the scene, its fixed screen layout, the
// cursor and the element list; controls/ and topics/ hold the scene's parts. The three
// include one another and the floors below (visual/, media/, resource/, core/, services/)
// and the contract; never module/.
#pragma once

#include "choice/ChoiceScreen.h"
#include "choice/controls/QXButtonNotify.h"
#include "qx/registry.h"
#include "qx/scene.h"
#include "resource/ChoiceValues.h"

namespace qx {

class AlphaImage;
class Cursor;
class FrameStripImage;
class ImageButton;
class ImageElement;
class LinearCurve;
class MouseRouter;
class Porte;
class SceneElementList;
class TopicBar;

// The choice screen: doors that take topics dragged from the topic bar, up to three rounds,
// arrow, round and play buttons. Play writes each door's topic into the game-state record.
// QXChoice.cpp assembles the scene and dispatches its events; QXChoiceSetUp.cpp builds it
// from the "choice" folder, QXChoiceRounds.cpp switches rounds and QXChoiceResult.cpp writes
// the doors' topics.
class QXChoice final : public IQXScene, public IReferenceCount, public QXButtonNotify {
public:
    QXChoice();
    QXChoice(const QXChoice&) = delete;
    QXChoice& operator=(const QXChoice&) = delete;

    // IQXScene
    std::int32_t handleEvent(Event* event) override;
    void setUp(Canvas* canvas, ResourceDirectory* resources, Handle* gameState) override;
    void update() override;
    void drawScene() override;
    void tearDown() override;
    std::int32_t isRunning() override { return running_; }

    // IReferenceCount
    void addReference() override { ++references_; }
    void releaseReference() override;

    // QXButtonNotify: 2 play, 16 previous round, 17 next round.
    void buttonClicked(std::int32_t id) override;

    Porte* door(int slot) const { return slot >= 0 && slot < kDoorSlots ? doors_[slot] : nullptr; }
    const std::int32_t* doorMap() const { return doorMap_; }
    ImageButton* roundButton(int i) const { return i == 0 ? previousRound_ : nextRound_; }

    InterfaceTable table;

private:
    ~QXChoice() = default;

    void setUpDoors(const ChoiceValues& values);
    ImageButton* makeButton(const char* baseName, Point at, std::int32_t id,
                            QXButtonNotify* notify);
    void leaveRound();
    void enterRound(std::int32_t round);
    void writeTopics();

    Handle* gameState_ = nullptr;
    Canvas* canvas_ = nullptr;
    SceneElementList* elements_ = nullptr;
    MouseRouter* router_ = nullptr;
    ResourceDirectory* resources_ = nullptr;
    Porte* doors_[kDoorSlots] = {};
    AlphaImage* questionMark_ = nullptr;
    AlphaImage* leftMask_ = nullptr;
    AlphaImage* rightMask_ = nullptr;
    Cursor* cursor_ = nullptr;
    ImageElement* rounds_[screen::kRounds] = {};
    std::int32_t roundCount_ = 0;
    std::int32_t currentRound_ = 0;
    ImageButton* left_ = nullptr;
    ImageButton* right_ = nullptr;
    ImageButton* previousRound_ = nullptr;
    ImageButton* nextRound_ = nullptr;
    ImageButton* play_ = nullptr;
    TopicBar* topicBar_ = nullptr;
    FrameStripImage* playPicture_ = nullptr;
    LinearCurve* fade_ = nullptr;
    std::int32_t references_ = 1;
    std::int32_t running_ = 0;
    std::int32_t closing_ = 0;
    std::int32_t doorMap_[kMappedDoors] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
};

} // namespace qx
