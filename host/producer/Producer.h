// producer/: the game's producer of topics: the topics file and the fonts it serves.
// Includes media/, archives/, runtime/ and the contract.
//
// The game's producer of topics, as the reference host offers it: topics from a topics
// file, in file order, and fonts by name from the host's font system.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "qx/registry.h"
#include "qx/scene.h"
#include "runtime/Host.h"

namespace qxhost {

class FontSystem;

inline constexpr std::int32_t kTopicFontSize = 16;

class Producer final : public qx::IQXProducer {
public:
    // Reads the topics file; each malformed line is logged at level 3 with file and line,
    // and a missing file leaves the producer without topics.
    Producer(Host& host, FontSystem* fonts, const std::string& topicsPath);
    Producer(const Producer&) = delete;
    Producer& operator=(const Producer&) = delete;
    ~Producer() = default;

    std::int32_t unused1() override { return 0; }
    std::int32_t unused2() override { return 0; }
    qx::Font* fontFor(const char* fontName) override;
    std::int32_t unused4() override { return 0; }
    std::int32_t unused5() override { return 0; }
    qx::TopicItem* itemAt(std::int32_t index) override;

    std::int32_t count() const { return static_cast<std::int32_t>(items_.size()); }
    // The title text of a record this producer handed out, or "" for any other pointer.
    std::string titleOf(const qx::TopicItem* item) const;
    // Why the topics file could not be read at all, or "".
    const std::string& fileProblem() const { return fileProblem_; }

private:
    Host& host_;
    FontSystem* fonts_;
    std::deque<qx::TopicItem> items_; // handed out by address: never moves
    std::vector<std::string> titles_;
    std::string fileProblem_;
    qx::InterfaceTable table_{"producer"};
};

} // namespace qxhost
