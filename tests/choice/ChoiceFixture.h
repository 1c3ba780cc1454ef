// Partners of the choice screen's classes, over the visual fixture's host, archive and screen.
#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "choice/ChoiceEvents.h"
#include "choice/Cursor.h"
#include "choice/controls/MouseEvents.h"
#include "choice/controls/Porte.h"
#include "choice/topics/TopicButton.h"
#include "visual/VisualFixture.h"

namespace qxtest {

using Heard = std::vector<std::string>;

// Notes each event as its operation and payload: "buttonDown 0,0", "toggleSelect 1", and for
// a topic button's report the sender's width, "shrinking 55". Given a cursor it acts as a
// door's holder: it picks its topic up on buttonDown and lets go on its own release.
struct Recorder final : qx::QXMouseListener, qx::IListener {
    template <class E> static std::string widthOf(qx::Event* event) {
        return " " + std::to_string(static_cast<E*>(event)->sender->measure().width);
    }
    std::int32_t handleEvent(qx::Event* event) override {
        std::string line = std::strchr(event->name, ':') + 2;
        const std::uint32_t type = event->type;
        if (type == qx::kMouseButtonDown || type == qx::kMouseButtonUp) {
            const qx::Point at = static_cast<qx::PositionEvent*>(event)->position;
            line += " " + std::to_string(at.x) + "," + std::to_string(at.y);
        }
        line += type == qx::kToggleSelect
                    ? " " + std::to_string(static_cast<qx::ToggleSelectEvent*>(event)->value)
                : type == qx::kStartShrink ? widthOf<qx::StartShrinkEvent>(event)
                : type == qx::kShrinking   ? widthOf<qx::ShrinkingEvent>(event)
                : type == qx::kCenterMe    ? widthOf<qx::CenterMeEvent>(event)
                                           : "";
        heard.push_back(line);
        if (cursor != nullptr && type == qx::kMouseButtonDown)
            cursor->carry(topic, text, this);
        else if (cursor != nullptr && type == qx::kMouseButtonUp && cursor->carrier() == this)
            cursor->drop();
        qx::destroyEvent(event);
        return 1;
    }
    qx::Rect hitArea() override { return qx::Rect(); }
    Heard take() { return std::exchange(heard, {}); }

    Heard heard;
    qx::Cursor* cursor = nullptr;
    qx::TopicItem* topic = nullptr;
    qx::TextElement* text = nullptr;
};

// What a door and a topic button meet: the cursor, a topic whose text "0123456789" is
// 100 x 20 in the fake font, a door, and a recorder standing for the holder or the bar.
class ChoiceTest : public VisualTest {
protected:
    ChoiceTest() { host.clock().set(1000); }

    qx::Cursor cursor{archive.root(), "cursor.png"};
    FakeFont font;
    qx::TextElement text{0, 0, &font.font, "0123456789"};
    qx::TopicItem topic{};
    Recorder recorder;
    qx::Porte door;
};

// Topics by title and code, with the fake font; published as "IQXProducer" while it lives.
struct Producer final : qx::IQXProducer {
    Producer() { table.addInterface(qx::kIQXProducerName, static_cast<qx::IQXProducer*>(this)); }
    qx::TopicItem* add(const std::string& title, const char* code = "ab") {
        qx::TopicItem& item = items.emplace_back();
        item.title = qx::atomOf(title.c_str());
        std::strncpy(item.code, code, sizeof item.code - 1);
        return &item;
    }
    std::int32_t unused1() override { return 0; }
    std::int32_t unused2() override { return 0; }
    qx::Font* fontFor(const char*) override { return &font.font; }
    std::int32_t unused4() override { return 0; }
    std::int32_t unused5() override { return 0; }
    qx::TopicItem* itemAt(std::int32_t index) override {
        highestAsked = std::max(highestAsked, index);
        return index < static_cast<std::int32_t>(items.size()) ? &items[index] : nullptr;
    }

    FakeFont font;
    std::deque<qx::TopicItem> items;
    std::int32_t highestAsked = -1;
    qx::InterfaceTable table{"producer"};
};

// A scene's resources: the fixture's archive is the "choice" folder, below a root archive.
class ChoiceData : public VisualTest {
protected:
    ChoiceData() { top.addFolder("choice", archive); }
    // The pictures of the rounds, the mark, cursor, arrows and play strip (20 x 20 at (0, 0)).
    void data(int rounds) {
        for (int n = 1; n <= rounds; ++n)
            picture("manche0" + std::to_string(n) + ".png/image", 4, 4, 16, kScreenFormat);
        picture("qmark.png/image", 20, 30, 8, kAlphaFormat);
        picture("cursor.png/image", 1, 1, 16, kScreenFormat);
        picture("playbutton.png/image", 20, 40, 16, kScreenFormat, {}, 2);
        for (const char* look : {"l_0", "l_1", "r_0", "r_1", "bl_0", "bl_1", "br_0", "br_1"})
            picture(std::string(look) + ".png/image", 30, 30, 8, kAlphaFormat);
    }
    // Door n at (60 n, 100), without a picture: its mark at (60 n + 10, 115) takes the pointer.
    void doors(int first, int last) {
        for (int n = first; n <= last; ++n) {
            const std::string two = (n < 10 ? "0" : "") + std::to_string(n);
            archive.addText("porte" + two, std::to_string(60 * n) + ",100");
            archive.addText("textcenter" + two, std::to_string(60 * n + 20) + ",160");
        }
    }

    MemoryArchive top{"top"};
};

} // namespace qxtest
