#pragma once

#include <cstdint>

namespace qx {

inline constexpr const char* kQXButtonNotifyName = "QXButtonNotify";

// Receiver of an image button's click, told the button's id.
class QXButtonNotify {
public:
    virtual void buttonClicked(std::int32_t id) = 0;

protected:
    ~QXButtonNotify() = default;
};

} // namespace qx
