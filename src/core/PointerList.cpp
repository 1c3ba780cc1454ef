#include "core/Memory.h"

#include "qx/containers.h"

namespace qx {

void PointerList::append(void* value) {
    Node* node = new (fallible) Node{value, nullptr};
    if (node == nullptr) {
        return;
    }
    if (head_ == nullptr) {
        head_ = node;
    } else {
        tail_->next = node;
    }
    tail_ = node;
    cursor_ = head_;
}

void* PointerList::next() {
    if (head_ == nullptr) {
        return nullptr;
    }
    if (cursor_ == nullptr) {
        cursor_ = head_;
        return nullptr;
    }
    void* value = cursor_->value;
    cursor_ = cursor_->next;
    return value;
}

void PointerList::clear() {
    while (head_ != nullptr) {
        Node* next = head_->next;
        delete head_;
        head_ = next;
    }
    tail_ = nullptr;
    cursor_ = nullptr;
}

} // namespace qx
