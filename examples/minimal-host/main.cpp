// minimal-host MODULE: loads a scene module, plays a short scripted session on its
// "QXChoice" scene (two topics dragged onto doors, then play) and prints the game-state
// words the scene wrote. Exit status 0 when the scene finished, 1 otherwise.
#include <cstdio>
#include <string>
#include <vector>

#include "MinimalHost.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// The module's four exports; a host reaches the module through nothing else.
struct Module {
    void* library = nullptr;
    qx::InitFunction init = nullptr;
    qx::ReleaseFunction release = nullptr;
    qx::DependenciesFunction dependencies = nullptr;

    bool open(const std::string& path) {
#if defined(_WIN32)
        library = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
        auto symbol = [this](const char* name) {
            return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
        };
#else
        // A bare file name would be looked up on the library path instead of here.
        library = dlopen((path.find('/') == std::string::npos ? "./" + path : path).c_str(),
                         RTLD_NOW | RTLD_LOCAL);
        auto symbol = [this](const char* name) { return dlsym(library, name); };
#endif
        if (library == nullptr) {
            return false;
        }
        init = reinterpret_cast<qx::InitFunction>(symbol("init"));
        release = reinterpret_cast<qx::ReleaseFunction>(symbol("release"));
        dependencies = reinterpret_cast<qx::DependenciesFunction>(symbol("dependencies"));
        return init != nullptr && release != nullptr && dependencies != nullptr;
    }
    ~Module() {
#if defined(_WIN32)
        if (library != nullptr) {
            FreeLibrary(static_cast<HMODULE>(library));
        }
#else
        if (library != nullptr) {
            dlclose(library);
        }
#endif
    }
};

// Host pointer events; the scene that receives one destroys it through `destroy`.
int eventsAlive = 0;

class PointerEvent final : public qx::HostPointerEvent {
public:
    PointerEvent(std::uint32_t type, std::int32_t x, std::int32_t y)
        : HostPointerEvent(type, "Host::pointer", x, y) {
        ++eventsAlive;
    }
    ~PointerEvent() { --eventsAlive; }
    void* destroy(std::uint32_t flags) override {
        if ((flags & 1) != 0) {
            delete this;
        } else {
            this->~PointerEvent();
        }
        return this;
    }
};

// Drives one scene frame by frame on the host clock, 16 ms a frame.
struct Session {
    qx::IQXScene* scene;

    void frame() {
        minimal::host().advance(16);
        scene->update();
        scene->drawScene();
    }
    void wait(std::int32_t milliseconds) {
        for (std::int32_t t = 0; t < milliseconds; t += 16) {
            frame();
        }
    }
    void send(std::uint32_t type, std::int32_t x, std::int32_t y) {
        scene->handleEvent(new PointerEvent(type, x, y));
        frame();
    }
    // Press, move there in eight steps, release: how a player drags.
    void drag(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        send(qx::kHostPointerMoved, x1, y1);
        send(qx::kHostPointerPressed, x1, y1);
        for (std::int32_t step = 1; step <= 8; ++step) {
            send(qx::kHostPointerMoved, x1 + (x2 - x1) * step / 8, y1 + (y2 - y1) * step / 8);
        }
        send(qx::kHostPointerReleased, x2, y2);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: minimal-host MODULE\n");
        return 2;
    }
    Module module;
    if (!module.open(argv[1])) {
        std::fprintf(stderr, "minimal-host: %s is not a scene module\n", argv[1]);
        return 1;
    }
    const qx::DependencyBlock* block = module.dependencies();
    for (const char* const* name = block->names; *name != nullptr; ++name) {
        std::printf("depends on %s (this host has no other modules to load)\n", *name);
    }

    // Services first: the module looks them up by name while it sets a scene up.
    minimal::Host& host = minimal::host();
    minimal::MemoryArchives archives;
    minimal::BitmapFactory bitmaps;
    minimal::Producer producer;
    minimal::Surface surface;
    qx::Canvas canvas{};
    canvas.surface = &surface;
    canvas.format = host.identifierOf(minimal::kScreenFormat);
    canvas.bitsPerPixel = 16;
    canvas.clip = qx::Rect(0, 0, minimal::kScreenWidth, minimal::kScreenHeight);
    std::vector<qx::Handle> gameState(32, 0);

    const char* const arguments[4] = {nullptr, nullptr, nullptr, nullptr};
    qx::InterfaceTable* factoryTable = module.init(&host, arguments);
    auto* factory = factoryTable != nullptr
                        ? static_cast<qx::IQXSceneFactory*>(
                              factoryTable->getInterface(qx::kIQXSceneFactoryName))
                        : nullptr;
    qx::InterfaceTable* sceneTable = factory != nullptr ? factory->createScene() : nullptr;
    auto* scene = sceneTable != nullptr
                      ? static_cast<qx::IQXScene*>(sceneTable->getInterface(qx::kIQXSceneName))
                      : nullptr;
    if (scene == nullptr) {
        std::fprintf(stderr, "minimal-host: the module made no scene\n");
        return 1;
    }
    scene->setUp(&canvas, minimal::resourceRoot(), gameState.data());

    // With 8-pixel characters the bar centres History at x 183-239 and, once History has
    // gone, Cinema at 226-274; each door's question mark is its hit area.
    Session session{scene};
    session.wait(1800); // the opening fade
    session.drag(200, 428, 140, 140);
    session.wait(800);
    session.drag(240, 428, 300, 140);
    session.wait(800);
    session.send(qx::kHostPointerMoved, 20, 20);
    session.send(qx::kHostPointerPressed, 20, 20);
    session.send(qx::kHostPointerReleased, 20, 20); // play
    std::int32_t frames = 0;
    while (scene->isRunning() != 0 && frames++ < 120) {
        session.frame();
    }
    const bool finished = scene->isRunning() == 0;

    std::printf("scene %s at %d ms\n", finished ? "finished" : "still running",
                static_cast<int>(host.currentTime()));
    for (int door = 1; door <= 9; ++door) {
        const qx::Handle word = gameState[static_cast<std::size_t>(qx::kFirstDoorWord + door)];
        const qx::TopicItem* topic = producer.topicAt(word);
        std::printf("word %d (door %d): %s%s%s\n", qx::kFirstDoorWord + door, door,
                    topic != nullptr ? topic->code : "empty", topic != nullptr ? " " : "",
                    topic != nullptr ? host.nameOf(topic->title) : "");
    }

    scene->tearDown();
    factory->destroyScene(sceneTable);
    module.release();
    if (eventsAlive != 0) {
        std::printf("%d pointer events were not destroyed\n", eventsAlive);
    }
    return finished && eventsAlive == 0 && host.failures() == 0 ? 0 : 1;
}
