// Every record that crosses the boundary, read as the other side reads it: raw words at fixed
// positions. On the 32-bit target word n sits at byte 4n; elsewhere pointers are wider.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "qx/bitmap.h"
#include "qx/canvas.h"
#include "qx/containers.h"
#include "qx/events.h"
#include "qx/geometry.h"
#include "qx/host.h"
#include "qx/registry.h"
#include "qx/resources.h"
#include "qx/scene.h"
#include "qx/sound.h"
#include "qx/streams.h"
#include "runtime/Host.h"
#include "support/FakeBitmaps.h"

namespace {

enum Word { N, P }; // a 32-bit number, a pointer

// Byte offsets of a record's words, laid out one after another with natural alignment.
class Layout {
public:
    Layout(std::initializer_list<Word> words) {
        std::size_t at = 0;
        std::size_t alignment = 4;
        for (Word word : words) {
            const std::size_t size = word == P ? sizeof(void*) : 4;
            at = (at + size - 1) / size * size;
            offsets_.push_back(at);
            at += size;
            alignment = std::max(alignment, size);
        }
        size_ = (at + alignment - 1) / alignment * alignment;
    }
    std::size_t operator[](std::size_t word) const { return offsets_.at(word); }
    std::size_t size() const { return size_; }

private:
    std::vector<std::size_t> offsets_;
    std::size_t size_ = 0;
};

template <class T> T wordAt(const void* record, std::size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(record) + offset, sizeof value);
    return value;
}

std::int32_t numberAt(const void* record, const Layout& layout, std::size_t word) {
    return wordAt<std::int32_t>(record, layout[word]);
}

const void* pointerAt(const void* record, const Layout& layout, std::size_t word) {
    return wordAt<const void*>(record, layout[word]);
}

// Events have protected constructors: only a concrete kind can be made.
template <class Base> class Concrete final : public Base {
public:
    template <class... Args> explicit Concrete(Args... args) : Base(args...) {}
    void* destroy(std::uint32_t) override { return this; }
};

TEST(RecordLayout, RegistryEntriesAndTablesAreWhereEveryModuleReadsThem) {
    qxhost::Host host;
    int target = 0;
    const char* interfaceName = "ILayoutProbe";
    static const char kObjectName[] = "layoutprobe";
    qx::InterfaceTable table(kObjectName);
    table.addInterface(interfaceName, &target);

    const Layout tableLayout{P, N, P};
    EXPECT_EQ(sizeof(qx::InterfaceTable), tableLayout.size());
    EXPECT_EQ(numberAt(&table, tableLayout, 1), 1);
    EXPECT_EQ(pointerAt(&table, tableLayout, 2), kObjectName);

    const Layout pairLayout{P, P};
    EXPECT_EQ(sizeof(qx::InterfacePair), pairLayout.size());
    const void* pairs = pointerAt(&table, tableLayout, 0);
    ASSERT_NE(pairs, nullptr);
    EXPECT_NE(pointerAt(pairs, pairLayout, 0), interfaceName) << "the table keeps a copy";
    EXPECT_EQ(pointerAt(pairs, pairLayout, 1), &target);

    const Layout registryLayout{P, P};
    EXPECT_EQ(sizeof(qx::InterfaceRegistry), registryLayout.size());
    const void* head = pointerAt(host.interfaceRegistry(), registryLayout, 0);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(pointerAt(host.interfaceRegistry(), registryLayout, 1), head)
        << "adding sets the cursor";

    const Layout entryLayout{P, P, P, P, P};
    EXPECT_EQ(sizeof(qx::RegistryEntry), entryLayout.size());
    EXPECT_EQ(pointerAt(head, entryLayout, 0), &table);
    EXPECT_EQ(pointerAt(head, entryLayout, 2), kObjectName);
    EXPECT_EQ(pointerAt(head, entryLayout, 3), interfaceName) << "the caller's string";
}

TEST(RecordLayout, HostSettingsListIsNameValueNext) {
    qxhost::Host host;
    host.setSetting("DefaultBitmapFactory", "vanillaimage");
    const Layout layout{P, P, P};
    EXPECT_EQ(sizeof(qx::SettingsNode), layout.size());
    const void* node = *host.settings();
    while (node != nullptr && std::strcmp(static_cast<const char*>(pointerAt(node, layout, 0)),
                                          "DefaultBitmapFactory"))
        node = pointerAt(node, layout, 2);
    ASSERT_NE(node, nullptr);
    EXPECT_STREQ(static_cast<const char*>(pointerAt(node, layout, 1)), "vanillaimage");
}

TEST(RecordLayout, ContainersKeepDataCapacityCountAndCursorHeadTail) {
    int a = 0, b = 0;
    qx::PointerArray array;
    array.append(&a);
    array.append(&b);
    const Layout arrayLayout{P, N, N};
    EXPECT_EQ(sizeof(qx::PointerArray), arrayLayout.size());
    const auto* data = static_cast<void* const*>(pointerAt(&array, arrayLayout, 0));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[1], &b);
    EXPECT_EQ(numberAt(&array, arrayLayout, 1), 16);
    EXPECT_EQ(numberAt(&array, arrayLayout, 2), 2);

    qx::PointerList list;
    list.append(&a);
    list.append(&b);
    EXPECT_EQ(list.next(), &a);
    const Layout listLayout{P, P, P}, nodeLayout{P, P};
    EXPECT_EQ(sizeof(qx::PointerList), listLayout.size());
    const void* cursor = pointerAt(&list, listLayout, 0);
    const void* head = pointerAt(&list, listLayout, 1);
    ASSERT_NE(head, nullptr);
    EXPECT_EQ(pointerAt(head, nodeLayout, 0), &a);
    EXPECT_EQ(pointerAt(head, nodeLayout, 1), cursor) << "one step into the walk";
    EXPECT_EQ(pointerAt(cursor, nodeLayout, 0), &b);
    EXPECT_EQ(pointerAt(&list, listLayout, 2), cursor) << "the tail is the last node";
}

TEST(RecordLayout, GeometryIsPlainSigned32BitWords) {
    const qx::Rect rect(-3, 4, 50, 60);
    const Layout rectLayout{N, N, N, N};
    EXPECT_EQ(sizeof(qx::Rect), rectLayout.size());
    EXPECT_EQ(numberAt(&rect, rectLayout, 0), -3);
    EXPECT_EQ(numberAt(&rect, rectLayout, 3), 60);
    EXPECT_EQ(sizeof(qx::Point) + sizeof(qx::Size), 2 * Layout({N, N}).size());

    qx::Colour colour(10, 20, 30);
    colour.alpha = 40;
    const Layout colourLayout{N, N, N, N, N};
    EXPECT_EQ(sizeof(qx::Colour), colourLayout.size());
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(numberAt(&colour, colourLayout, i), static_cast<std::int32_t>(10 * (i + 1)));
    EXPECT_EQ(numberAt(&colour, colourLayout, 4), -1) << "no palette index";

    qx::Point points[2] = {{1, 2}, {3, 4}};
    const qx::PointArray array{2, points};
    const Layout arrayLayout{N, P};
    EXPECT_EQ(sizeof(qx::PointArray), arrayLayout.size());
    EXPECT_EQ(numberAt(&array, arrayLayout, 0), 2);
    EXPECT_EQ(pointerAt(&array, arrayLayout, 1), points);
}

TEST(RecordLayout, EventsCarryTheirPayloadAfterTableTypeAndName) {
    // Every event: its table of virtual operations, then type, then name.
    const Layout pointer{P, N, P, N, N, N};
    qxhost::Host host;
    qx::Event* made = host.makePointerEvent(qx::kHostPointerPressed, 321, -7);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(numberAt(made, pointer, 1)), qx::kHostPointerPressed);
    EXPECT_EQ(numberAt(made, pointer, 4), 321) << "x is the fifth word";
    EXPECT_EQ(numberAt(made, pointer, 5), -7) << "y is the sixth word";
    made->destroy(1);

    const Concrete<qx::PositionEvent> moved(0xF0003u, "QXMouse::move", qx::Point(12, 34));
    const Layout position{P, N, P, N, N};
    EXPECT_EQ(sizeof moved, position.size());
    EXPECT_EQ(numberAt(&moved, position, 3), 12);
    EXPECT_EQ(numberAt(&moved, position, 4), 34);

    // A read completion's payload sits where a pointer event keeps x.
    const Concrete<qx::ReadCompletionEvent> done(qx::kReadCount, "Read::count", 4096);
    EXPECT_EQ(numberAt(&done, pointer, 4), 4096);

    Concrete<qx::SoundFinishedEvent> finished;
    int sound = 0;
    finished.sound = &sound;
    EXPECT_EQ(pointerAt(&finished, Layout({P, N, P, P}), 3), &sound);
}

TEST(RecordLayout, ResourceEntriesDescriptionsAndDirectories) {
    qxhost::Host host;
    static const char kName[] = "choice";
    qx::ResourceEntry entry{};
    entry.type = host.atomTable()->identifierOf("archive/nosuchfactory");
    entry.isArchive = 1;
    entry.name = kName;
    const Layout entryLayout{N, N, P, P, P, P};
    EXPECT_EQ(sizeof(qx::ResourceEntry), entryLayout.size());
    EXPECT_EQ(pointerAt(&entry, entryLayout, 4), kName);
    EXPECT_EQ(sizeof(qx::ResourceDescription), Layout({N, N, N, N}).size());

    // The table of find, factory, object, archive, entry, handle, stream, parent, children.
    const Layout directoryLayout{P, P, P, P, P, P, P, P, P, N, N};
    auto* directory = new qx::ResourceDirectory(&entry, 0x5A5A);
    EXPECT_EQ(sizeof(qx::ResourceDirectory), directoryLayout.size());
    EXPECT_EQ(pointerAt(directory, directoryLayout, 1), nullptr) << "no such factory";
    EXPECT_EQ(pointerAt(directory, directoryLayout, 4), &entry);
    EXPECT_EQ(wordAt<qx::Handle>(directory, directoryLayout[5]), qx::Handle{0x5A5A});
    EXPECT_EQ(numberAt(directory, directoryLayout, 9), 16) << "children's capacity";
    EXPECT_EQ(numberAt(directory, directoryLayout, 10), 0) << "children's count";
    qx::ResourceDirectory::destroyTree(directory);
}

TEST(RecordLayout, BitmapsAreTheirDescriptionFollowedByFourInterfaces) {
    qxhost::Host host;
    qxtest::FakeBitmapFactory factory;
    qx::BitmapDescription description{};
    description.resource.type = host.atomTable()->identifierOf("image");
    description.width = 7;
    description.height = 5;
    description.bitsPerPixel = 16;
    description.format = host.atomTable()->identifierOf("-rrrrrgggggbbbbb");
    description.frames = 3;
    const Layout descriptionLayout{N, N, N, N, N, N, N, N, N, N, N, N};
    EXPECT_EQ(sizeof(qx::BitmapDescription), descriptionLayout.size());
    EXPECT_EQ(numberAt(&description, descriptionLayout, 6), 16);

    qx::Bitmap bitmap(&description);
    const Layout bitmapLayout{N, N, N, N, N, N, N, N, N, N, N, N, P, P, P, P};
    EXPECT_EQ(sizeof(qx::Bitmap), bitmapLayout.size());
    EXPECT_EQ(numberAt(&bitmap, bitmapLayout, 5), 5) << "height, read as a description";
    EXPECT_EQ(numberAt(&bitmap, bitmapLayout, 10), 1) << "a zero word 11 becomes 1";
    EXPECT_EQ(pointerAt(&bitmap, bitmapLayout, 12), static_cast<qx::IBitmapFactory*>(&factory));
    const auto* object =
        static_cast<const qx::InterfaceTable*>(pointerAt(&bitmap, bitmapLayout, 15));
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(pointerAt(&bitmap, bitmapLayout, 13), object->getInterface(qx::kIBitmapName));

    qx::RowBlock* rows = bitmap.lockRows(1, 2);
    ASSERT_NE(rows, nullptr);
    const Layout rowLayout{P, N, N};
    EXPECT_EQ(sizeof(qx::RowBlock), rowLayout.size());
    EXPECT_EQ(pointerAt(rows, rowLayout, 0), qxtest::FakeBitmapFactory::of(&bitmap)->pixel(0, 1));
    EXPECT_EQ(numberAt(rows, rowLayout, 2), qxtest::FakeBitmapFactory::of(&bitmap)->pitch);
    bitmap.unlockRows(rows);

    qx::SoundDescription sound{};
    sound.words[4] = 0xABCD;
    const Layout soundLayout{N, N, N, N, N, N, N, N, N};
    EXPECT_EQ(sizeof(qx::SoundDescription), soundLayout.size());
    EXPECT_EQ(numberAt(&sound, soundLayout, 8), 0xABCD);
}

TEST(RecordLayout, CanvasAndFontMembersSitWhereTheHostLaysThemOut) {
    qx::Font font{};
    font.descriptionWords[qx::kFontLineHeight] = 18;
    font.descriptionWords[qx::kFontLineAdvance] = 1250;
    font.currentStyle = 1;
    // Twelve description words, renderer, styler, two scales, a reserved word, style.
    const Layout fontLayout{N, N, N, N, N, N, N, N, N, N, N, N, P, P, P, P, N, N};
    EXPECT_EQ(sizeof(qx::Font), fontLayout.size());
    EXPECT_EQ(numberAt(&font, fontLayout, 11), 1250);
    EXPECT_EQ(numberAt(&font, fontLayout, 17), 1);

    qx::Canvas canvas{};
    canvas.format = 0x1234;
    canvas.bitsPerPixel = 16;
    canvas.colour = qx::Colour(1, 2, 3);
    canvas.clip = qx::Rect(5, 6, 640, 480);
    canvas.origin = qx::Point(-9, 11);
    canvas.font = &font;
    // Two unused words, surface, unused, format, depth, colour (5), two unused, clip, origin, font.
    const Layout canvasLayout{N, N, P, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, N, P};
    EXPECT_EQ(sizeof(qx::Canvas), canvasLayout.size());
    EXPECT_EQ(numberAt(&canvas, canvasLayout, 5), 16);
    EXPECT_EQ(numberAt(&canvas, canvasLayout, 8), 3) << "blue";
    EXPECT_EQ(numberAt(&canvas, canvasLayout, 16), 480) << "clip height";
    EXPECT_EQ(numberAt(&canvas, canvasLayout, 17), -9) << "origin x";
    EXPECT_EQ(pointerAt(&canvas, canvasLayout, 19), &font);
}

TEST(RecordLayout, SceneRecordsTopicsDependenciesAndStreamRequests) {
    qx::TopicItem topic{};
    topic.title = 77;
    std::memcpy(topic.code, "ab", 3);
    topic.flags = 1;
    const Layout topicLayout{N, N, N, N};
    EXPECT_EQ(sizeof(qx::TopicItem), topicLayout.size());
    EXPECT_STREQ(reinterpret_cast<const char*>(&topic) + 4, "ab") << "code from the fifth byte";
    EXPECT_EQ(numberAt(&topic, topicLayout, 3), 1);

    static const char kPng[] = "pngfile";
    const qx::DependencyBlock block{0, {kPng, nullptr}};
    const Layout blockLayout{N, P, P};
    EXPECT_EQ(sizeof(qx::DependencyBlock), blockLayout.size());
    EXPECT_EQ(pointerAt(&block, blockLayout, 1), kPng);

    char buffer[4];
    const qx::StreamReadRequest request{buffer, 4, 2};
    const Layout requestLayout{P, N, N};
    EXPECT_EQ(sizeof(qx::StreamReadRequest), requestLayout.size());
    EXPECT_EQ(numberAt(&request, requestLayout, 2), 2);
}

} // namespace
