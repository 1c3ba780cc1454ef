#include <cstring>

#include "core/Memory.h"
#include "qx/containers.h"

namespace qx {

namespace {
constexpr std::int32_t kStep = 16;

void** allocateSlots(std::int32_t capacity) {
    auto* slots =
        static_cast<void**>(allocateBlock(sizeof(void*) * static_cast<std::size_t>(capacity)));
    if (slots != nullptr) {
        std::memset(slots, 0, sizeof(void*) * static_cast<std::size_t>(capacity));
    }
    return slots;
}
} // namespace

PointerArray::PointerArray() : data_(allocateSlots(kStep)), capacity_(kStep), count_(0) {
    if (data_ == nullptr) {
        capacity_ = 0;
    }
}

PointerArray::PointerArray(const PointerArray& other) : PointerArray() { *this = other; }

PointerArray& PointerArray::operator=(const PointerArray& other) {
    if (this == &other) {
        return *this;
    }
    releaseBlock(data_);
    data_ = allocateSlots(kStep);
    capacity_ = data_ != nullptr ? kStep : 0;
    count_ = 0;
    for (std::int32_t i = 0; i < other.count_; ++i) {
        set(i, other.data_[i]);
    }
    return *this;
}

PointerArray::~PointerArray() {
    releaseBlock(data_);
    data_ = nullptr;
    capacity_ = 0;
    count_ = 0;
}

void PointerArray::reserve(std::int32_t n) {
    if (n <= capacity_) {
        return;
    }
    const std::int32_t capacity = (n / kStep + 1) * kStep;
    auto* grown =
        static_cast<void**>(resizeBlock(data_, sizeof(void*) * static_cast<std::size_t>(capacity)));
    if (grown == nullptr) {
        return;
    }
    for (std::int32_t i = capacity_; i < capacity; ++i) {
        grown[i] = nullptr;
    }
    data_ = grown;
    capacity_ = capacity;
}

void PointerArray::set(std::int32_t index, void* pointer) {
    if (index < 0 || index > count_) {
        return;
    }
    reserve(index + 1);
    if (index >= capacity_) {
        return;
    }
    data_[index] = pointer;
    if (count_ < index + 1) {
        count_ = index + 1;
    }
}

std::int32_t PointerArray::append(void* pointer) {
    set(count_, pointer);
    return count_ - 1;
}

void* PointerArray::get(std::int32_t index) const {
    return index >= 0 && index < count_ ? data_[index] : nullptr;
}

} // namespace qx
