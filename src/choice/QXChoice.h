#pragma once

#include "choice/controls/QXButtonNotify.h"
#include "qx/registry.h"
#include "qx/scene.h"

namespace qx {

// The choice screen: doors, the topic bar, the arrow, round and play buttons.
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
    std::int32_t isRunning() override;

    // IReferenceCount
    void addReference() override;
    void releaseReference() override;

    // QXButtonNotify
    void buttonClicked(std::int32_t id) override;

    InterfaceTable table;

private:
    ~QXChoice() = default;

    Handle* gameState_ = nullptr;
    Canvas* canvas_ = nullptr;
    std::int32_t references_ = 1;
    std::int32_t running_ = 0;
    std::int32_t closing_ = 0;
};

} // namespace qx
