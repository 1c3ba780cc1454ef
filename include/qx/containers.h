// Growable containers of pointers. Neither owns what its values point to; each owns its
// own storage, which whoever grows it allocates. Not synchronised: the host's thread only.
#pragma once

#include "qx/types.h"

namespace qx {

// A growable array of pointers whose capacity grows in steps of 16 slots.
class PointerArray {
public:
    PointerArray();
    PointerArray(const PointerArray& other);
    PointerArray& operator=(const PointerArray& other);
    ~PointerArray();

    // Grows the capacity to (n / 16 + 1) * 16 when n exceeds it.
    void reserve(std::int32_t n);
    // index from 0 to size(); raises the size to index + 1 when it was lower.
    void set(std::int32_t index, void* pointer);
    // Stores at the end and returns the new element's index.
    std::int32_t append(void* pointer);
    // The element, or null outside 0 <= index < size().
    void* get(std::int32_t index) const;
    std::int32_t size() const { return count_; }
    std::int32_t capacity() const { return capacity_; }

private:
    void** data_;
    std::int32_t capacity_;
    std::int32_t count_;
};

// A singly linked list of pointers with a built-in walk: call next() until it answers
// null; the list is then ready for another walk from the head.
class PointerList {
public:
    PointerList() = default;
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;
    ~PointerList() { clear(); }

    // Adds at the tail, in constant time, and rewinds the walk to the head.
    void append(void* value);
    // The next value of the walk; null once past the end, which rewinds the walk.
    void* next();
    void clear();

private:
    struct Node {
        void* value;
        Node* next;
    };
    Node* cursor_ = nullptr;
    Node* head_ = nullptr;
    Node* tail_ = nullptr; // the last node, so that a list is built in one pass
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(PointerArray) == 12);
QX_LAYOUT_CHECK(sizeof(PointerList) == 12);
QX_END_LAYOUT_CHECKS

} // namespace qx
