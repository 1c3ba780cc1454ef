#include "producer/Producer.h"

#include <cstring>

#include "media/FontSystem.h"
#include "producer/TopicsFile.h"

namespace qxhost {

Producer::Producer(Host& host, FontSystem* fonts, const std::string& topicsPath)
    : host_(host), fonts_(fonts) {
    TopicsFile file = loadTopicsFile(topicsPath);
    for (const std::string& error : file.errors) {
        host_.report(3, "%s\n", error.c_str());
    }
    fileProblem_ = std::move(file.unreadable);
    for (const TopicRecord& record : file.topics) {
        qx::TopicItem item{};
        item.title = host_.atomTable()->identifierOf(record.title.c_str());
        std::strncpy(item.code, record.code.c_str(), sizeof item.code - 1);
        item.flags = record.flags;
        items_.push_back(item);
        titles_.push_back(record.title);
    }
    table_.addInterface(qx::kIQXProducerName, static_cast<qx::IQXProducer*>(this));
}

qx::Font* Producer::fontFor(const char* fontName) {
    if (fonts_ == nullptr || fontName == nullptr) {
        return nullptr;
    }
    return fonts_->font(fontName, kTopicFontSize);
}

qx::TopicItem* Producer::itemAt(std::int32_t index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return &items_[static_cast<std::size_t>(index)];
}

std::string Producer::titleOf(const qx::TopicItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (&items_[i] == item) {
            return titles_[i];
        }
    }
    return {};
}

} // namespace qxhost
