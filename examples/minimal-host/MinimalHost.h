// The least a host gives a scene module, from include/qx/ and the C++ library alone: the
// example includes nothing else of the project. HOST.md walks through it.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "qx/bitmap.h"
#include "qx/canvas.h"
#include "qx/host.h"
#include "qx/resources.h"
#include "qx/scene.h"

namespace minimal {

constexpr std::int32_t kScreenWidth = 640;
constexpr std::int32_t kScreenHeight = 480;
constexpr const char* kScreenFormat = "-rrrrrgggggbbbbb";

// The host object: registry, atoms, settings, log and clock. One per process, `host()`;
// the contract's own members (Contract.cpp) reach it there.
class Host final : public qx::HostObject, public qx::IAtomTable {
public:
    // Nothing here completes later (no asynchronous readers, no sounds): nothing to deliver.
    void processEvents() override {}
    qx::InterfaceRegistry* interfaceRegistry() override { return &registry_; }
    qx::IAtomTable* atomTable() override { return this; }
    void* auxiliaryService() override { return nullptr; }
    qx::SettingsList* settings() override { return &settings_; }
    void* findInterface(const char* objectName, const char* interfaceName) override;
    void log(std::int32_t level, const char* format, ...) override;
    std::int32_t currentTime() override { return now_; }

    std::uint32_t identifierOf(const char* name) override;
    const char* nameOf(std::uint32_t identifier) override;

    void advance(std::int32_t milliseconds) { now_ += milliseconds; }
    int failures() const { return failures_; }

private:
    qx::InterfaceRegistry registry_{};
    std::deque<std::string> atoms_; // identifier i names atoms_[i - 1]; a deque keeps c_str()
    qx::SettingsNode bitmapFactory_{"DefaultBitmapFactory", "memorybitmaps", nullptr};
    qx::SettingsList settings_ = &bitmapFactory_;
    std::int32_t now_ = 0;
    int failures_ = 0;
};

Host& host();

// An archive entry held in memory: a text value, a picture's "image", or a folder whose
// children open as an archive ("choice", and "qmark.png" holding its "image").
struct Node {
    qx::ResourceEntry entry{};
    std::string name;
    std::string content; // a text value's bytes, or a picture's rows
    qx::BitmapDescription picture{};
    std::deque<Node> children; // a deque: entries keep their addresses as it grows

    Node& add(const std::string& childName, const char* type);
};

// Opens every folder Node as an archive: published as "IArchiveFactory" of the object
// "memory", the name that entry types "archive/memory" select.
class MemoryArchives final : public qx::IArchiveFactory {
public:
    MemoryArchives();
    ~MemoryArchives();
    qx::InterfaceTable* create(qx::ResourceEntry* entry, qx::Handle handle,
                               qx::IStream* stream) override;

private:
    struct Archive;
    qx::InterfaceTable table_{"memory"};
    std::vector<std::unique_ptr<Archive>> archives_;
};

// The layout values of three doors and pictures made in code: a round background, the
// question mark (it gives every door its hit area), the play button and the arrows.
Node& choiceData();
// The root of the resource tree scenes receive. The module opens its own directories below
// it and never frees them, so the root lives as long as the process.
qx::ResourceDirectory* resourceRoot();

// Bitmaps in memory, published as "IBitmapFactory" of the object "memorybitmaps", the
// name the setting "DefaultBitmapFactory" gives. Pictures come in the screen's format or as
// 8-bit masks, which need no conversion, so none is offered.
class BitmapFactory final : public qx::IBitmapFactory {
public:
    BitmapFactory();
    qx::InterfaceTable* create(qx::BitmapDescription* description) override;
    void destroy(qx::InterfaceTable* object) override;

private:
    qx::InterfaceTable table_{"memorybitmaps"};
};

// A 640 by 480 surface in the screen's format, in memory.
class Surface final : public qx::ISurface {
public:
    void unused1() override {}
    void setColour(qx::Colour colour) override { colour_ = colour; }
    void unused3() override {}
    void unused4() override {}
    void unused5() override {}
    void unused6() override {}
    void unused7() override {}
    void unused8() override {}
    void unused9() override {}
    void unused10() override {}
    void unused11() override {}
    void unused12() override {}
    void unused13() override {}
    void polygon(qx::PointArray points) override;
    void copy(std::int32_t x, std::int32_t y, const qx::Bitmap* bitmap, qx::Rect source) override;
    qx::RowBlock* lockRows(std::int32_t first, std::int32_t last) override;
    void unlockRows(qx::RowBlock* block) override { delete block; }

private:
    std::vector<std::uint16_t> pixels_ = std::vector<std::uint16_t>(kScreenWidth * kScreenHeight);
    qx::Colour colour_;
};

// Text drawn as one filled cell per character; every character is 8 pixels wide.
class FixedWidthText final : public qx::ITextRenderer {
public:
    void unused1() override {}
    std::int32_t measure(const char* text) override;
    void draw(qx::Canvas* canvas, std::int32_t x, std::int32_t y, const char* text) override;
};

// The game's producer: a few topics and the font they are drawn in.
class Producer final : public qx::IQXProducer {
public:
    Producer();
    std::int32_t unused1() override { return 0; }
    std::int32_t unused2() override { return 0; }
    qx::Font* fontFor(const char* fontName) override;
    std::int32_t unused4() override { return 0; }
    std::int32_t unused5() override { return 0; }
    qx::TopicItem* itemAt(std::int32_t index) override;

    const qx::TopicItem* topicAt(qx::Handle word) const;

private:
    qx::InterfaceTable table_{"producer"};
    FixedWidthText text_;
    qx::Font font_{};
    std::vector<qx::TopicItem> topics_;
};

std::uint16_t packColour(const qx::Colour& colour);

} // namespace minimal
