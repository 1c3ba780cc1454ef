// Events between doors, topic buttons and the topic bar (family 0x100000).
#pragma once

#include "core/EventObject.h"

namespace qx {

class Porte;
class TopicButton;

inline constexpr std::uint32_t kTopicChosen = 0x100001u;
inline constexpr std::uint32_t kStartShrink = 0x100002u;
inline constexpr std::uint32_t kShrinking = 0x100003u;
inline constexpr std::uint32_t kGiveBack = 0x100004u;
inline constexpr std::uint32_t kToggleSelect = 0x100006u;
inline constexpr std::uint32_t kOpenFrame = 0x100007u;
inline constexpr std::uint32_t kCenterMe = 0x100008u;

// A choice event that carries the object that sent it.
template <class Sender, std::uint32_t Type>
class SenderEvent final : public EventObject<SenderEvent<Sender, Type>> {
public:
    SenderEvent(const char* eventName, Sender* from)
        : EventObject<SenderEvent<Sender, Type>>(Type, eventName), sender(from) {}
    Sender* sender;
};

// A choice event without payload.
template <std::uint32_t Type> class PlainEvent final : public EventObject<PlainEvent<Type>> {
public:
    explicit PlainEvent(const char* eventName) : EventObject<PlainEvent<Type>>(Type, eventName) {}
};

class ToggleSelectEvent final : public EventObject<ToggleSelectEvent> {
public:
    explicit ToggleSelectEvent(std::int32_t selectedValue)
        : EventObject<ToggleSelectEvent>(kToggleSelect, "QXChoice::toggleSelect"),
          value(selectedValue) {}
    std::int32_t value;
};

using TopicChosenEvent = SenderEvent<Porte, kTopicChosen>;
using StartShrinkEvent = SenderEvent<TopicButton, kStartShrink>;
using ShrinkingEvent = SenderEvent<TopicButton, kShrinking>;
using CenterMeEvent = SenderEvent<TopicButton, kCenterMe>;
using GiveBackEvent = PlainEvent<kGiveBack>;
using OpenFrameEvent = PlainEvent<kOpenFrame>;

inline TopicChosenEvent* makeTopicChosen(Porte* door) {
    return TopicChosenEvent::make("QXChoice::topicChosen", door);
}
inline StartShrinkEvent* makeStartShrink(TopicButton* button) {
    return StartShrinkEvent::make("QXChoice::startShrink", button);
}
inline ShrinkingEvent* makeShrinking(TopicButton* button) {
    return ShrinkingEvent::make("QXChoice::shrinking", button);
}
inline CenterMeEvent* makeCenterMe(TopicButton* button) {
    return CenterMeEvent::make("QXChoice::centerMe", button);
}
inline GiveBackEvent* makeGiveBack() { return GiveBackEvent::make("QXChoice::giveBack"); }
inline OpenFrameEvent* makeOpenFrame() { return OpenFrameEvent::make("QXChoice::openFrame"); }

} // namespace qx
