#include "media/MemoryReader.h"

#include <algorithm>
#include <cstring>

namespace qxhost {

MemoryReader::MemoryReader(const std::uint8_t* data, std::int32_t size)
    : data_(data), size_(size < 0 ? 0 : size) {
    table_.addInterface("IRead", static_cast<qx::IRead*>(this));
    table_.addInterface("IStream", static_cast<qx::IStream*>(this));
    table_.addInterface("ISeekable", static_cast<qx::ISeekable*>(this));
}

std::int32_t MemoryReader::read(void* buffer, std::int32_t size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const std::int32_t count = std::min(size, size_ - position_);
    if (count > 0) {
        std::memcpy(buffer, data_ + position_, static_cast<std::size_t>(count));
        position_ += count;
    }
    return count > 0 ? count : 0;
}

std::int32_t MemoryReader::control(std::int32_t operation, void* argument) {
    if (argument == nullptr) {
        return 0;
    }
    if (operation == qx::kStreamQuerySize) {
        *static_cast<std::int32_t*>(argument) = size_;
        return 1;
    }
    if (operation == qx::kStreamRead) {
        auto* request = static_cast<qx::StreamReadRequest*>(argument);
        request->count = read(request->buffer, request->size);
        return 1;
    }
    return 0;
}

std::int32_t MemoryReader::seek(std::int32_t offset, std::int32_t origin) {
    std::int64_t base = 0;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = position_; break;
    case 2: base = size_; break;
    default: return -1;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || target > size_) {
        return -1;
    }
    position_ = static_cast<std::int32_t>(target);
    return position_;
}

} // namespace qxhost
