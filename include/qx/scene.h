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
    // A new scene with a reference count of 1; answers its InterfaceTable (publishing
    // "IQXScene", "IReferenceCount", "QXButtonNotify"), or null.
    virtual InterfaceTable* createScene() = 0;
    // Releases the reference createScene gave; scene must be a table createScene returned.
    virtual void destroyScene(InterfaceTable* scene) = 0;

protected:
    ~IQXSceneFactory() = default;
};

inline constexpr const char* kIQXSceneName = "IQXScene";

class IQXScene {
public:
    // Takes a host pointer event (the scene destroys it); answers 1.
    virtual std::int32_t handleEvent(Event* event) = 0;
    // Once, before anything else: the canvas to draw on, the root of the resource tree
    // (the scene reads the directory "choice" below it) and the game-state record.
    virtual void setUp(Canvas* canvas, ResourceDirectory* resources, Handle* gameState) = 0;
    virtual void update() = 0;
    virtual void drawScene() = 0;
    // Destroys what setUp made.
    virtual void tearDown() = 0;
    // 1 until the scene has finished.
    virtual std::int32_t isRunning() = 0;

protected:
    ~IQXScene() = default;
};

// One topic as the producer keeps it, borrowed by the scene for its whole life.
struct TopicItem {
    std::uint32_t title; // atom identifier of the title text
    char code[8];        // short code, zero-terminated; "xx" and "cd" get no button
    std::uint32_t flags; // nonzero draws the topic's frame grey
};

inline constexpr const char* kIQXProducerName = "IQXProducer";

// The game's producer of topics, found with findInterface(null, "IQXProducer").
class IQXProducer {
public:
    virtual std::int32_t unused1() = 0;
    virtual std::int32_t unused2() = 0;
    // The font for a font name ("AlternateFont"), owned by the producer; null if unknown.
    virtual Font* fontFor(const char* fontName) = 0;
    virtual std::int32_t unused4() = 0;
    virtual std::int32_t unused5() = 0;
    // The topic of an index (dense from 0), or null past the last.
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

// Exported symbols, unmangled. init answers the factory's InterfaceTable, or null.
using InitFunction = InterfaceTable* (*)(HostObject* host, const char* const* arguments);
using ReleaseFunction = void (*)();
using DependenciesFunction = const DependencyBlock* (*)();

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(TopicItem) == 16);
QX_LAYOUT_CHECK(offsetof(TopicItem, code) == 4);
QX_LAYOUT_CHECK(offsetof(TopicItem, flags) == 12);
QX_LAYOUT_CHECK(sizeof(DependencyBlock) == 12);
QX_END_LAYOUT_CHECKS

} // namespace qx
