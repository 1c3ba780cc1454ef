// Scene modules: the four exports, the scene factory, scenes, and the producer of topics.
//
// A host loads a module (file extension "kpx"), may read its dependency list, calls init
// with its host object and receives the factory's InterfaceTable, which publishes
// "IQXSceneFactory". Scenes are created from the factory and driven frame by frame:
// setUp once; then per frame handleEvent for each pointer event, update, drawScene and
// isRunning; when isRunning answers 0, tearDown and the factory's destroyScene.
#pragma once

#include "qx/canvas.h"
#include "qx/events.h"
#include "qx/host.h"
#include "qx/registry.h"
#include "qx/resources.h"
#include "qx/types.h"

namespace qx {

inline constexpr const char* kIQXSceneFactoryName = "IQXSceneFactory";

class IQXSceneFactory {
public:
    // Between init and release, any number of times. A new scene with a reference count of
    // 1, held by the caller; answers its InterfaceTable (publishing "IQXScene",
    // "IReferenceCount", "QXButtonNotify"), owned by the scene, or null.
    virtual InterfaceTable* createScene() = 0;
    // Before release, once per scene, after its tearDown: drops the reference createScene
    // gave, which destroys the scene unless the caller took more. scene must be a table
    // createScene returned; do not use it afterwards.
    virtual void destroyScene(InterfaceTable* scene) = 0;

protected:
    ~IQXSceneFactory() = default;
};

inline constexpr const char* kIQXSceneName = "IQXScene";

class IQXScene {
public:
    // Between setUp and tearDown, for each pointer event. The scene takes the event, whatever
    // its type, and destroys it through destroy(1); answers 1.
    virtual std::int32_t handleEvent(Event* event) = 0;
    // Once, right after createScene, before any other operation but the reference count's:
    // the canvas to draw on, the root of the resource tree (the scene reads the directory
    // "choice" below it) and the game-state record. All three stay the host's and must live
    // until tearDown (the record receives the doors' topics when play is pressed);
    // directories the scene opens below the root stay in the tree.
    virtual void setUp(Canvas* canvas, ResourceDirectory* resources, Handle* gameState) = 0;
    // Once a frame between setUp and tearDown: lays the topic bar out and moves the fades by
    // the host clock.
    virtual void update() = 0;
    // Once a frame between setUp and tearDown: draws every visible element onto the canvas
    // given to setUp. Rows of the surface are locked and unlocked within the call.
    virtual void drawScene() = 0;
    // Once, after the last frame (normally when isRunning has answered 0): destroys what
    // setUp made. Afterwards only destroyScene and the reference count may be called.
    virtual void tearDown() = 0;
    // Any time after setUp: 1 until the closing fade after play has ended, then 0.
    virtual std::int32_t isRunning() = 0;

protected:
    ~IQXScene() = default;
};

// One topic as the producer keeps it, borrowed by the scene for its whole life; play stores
// the record's address in the game-state record.
struct TopicItem {
    std::uint32_t title; // atom identifier of the title text
    char code[8];        // short code, zero-terminated; "xx" and "cd" get no button
    std::uint32_t flags; // nonzero draws the topic's frame grey
};

inline constexpr const char* kIQXProducerName = "IQXProducer";

// The game's producer of topics, found with findInterface(null, "IQXProducer").
// Asked only during setUp.
class IQXProducer {
public:
    // Slots scenes do not call.
    virtual std::int32_t unused1() = 0;
    virtual std::int32_t unused2() = 0;
    // The font for a font name ("AlternateFont"), or null if unknown. The font stays the
    // producer's and must live until the scene's tearDown; the name is borrowed for the call.
    virtual Font* fontFor(const char* fontName) = 0;
    virtual std::int32_t unused4() = 0;
    virtual std::int32_t unused5() = 0;
    // The topic of an index (dense from 0), or null past the last. The record stays the
    // producer's and must live as long as the game-state record refers to it.
    virtual TopicItem* itemAt(std::int32_t index) = 0;

protected:
    ~IQXProducer() = default;
};

// The game-state record is an array of words (pointer-sized where pointers are wider than
// 32 bits). Door i's topic record goes to word kFirstDoorWord + doorMap[i].
inline constexpr int kFirstDoorWord = 12;

// The block dependencies() answers: a zero word, then module names, ending with null.
struct DependencyBlock {
    std::uint32_t zero;
    const char* names[2];
};

// Exported symbols, unmangled.
// init: once after loading. host must live until release; arguments points to four strings,
// any of them null, which the module copies. Answers the factory's InterfaceTable, owned by
// the module until release, or null.
using InitFunction = InterfaceTable* (*)(HostObject* host, const char* const* arguments);
// release: once, after init and after the last destroyScene; the factory and its registry
// entry are gone afterwards.
using ReleaseFunction = void (*)();
// dependencies: any time, before init too. The block is a constant of the module.
using DependenciesFunction = const DependencyBlock* (*)();

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(TopicItem) == 16);
QX_LAYOUT_CHECK(offsetof(TopicItem, code) == 4);
QX_LAYOUT_CHECK(offsetof(TopicItem, flags) == 12);
QX_LAYOUT_CHECK(sizeof(DependencyBlock) == 12);
QX_END_LAYOUT_CHECKS

} // namespace qx
