// The row blocks a bitmap or the surface has handed out. Blocks are reused once unlocked,
// so that drawing every frame locks and unlocks rows without allocating.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "qx/bitmap.h"

namespace qxhost {

class RowLocks {
public:
    qx::RowBlock* acquire(std::uint8_t* address, std::int32_t bitsPerPixel, std::int32_t pitch) {
        std::unique_ptr<qx::RowBlock> block;
        if (spare_.empty()) {
            block = std::make_unique<qx::RowBlock>();
        } else {
            block = std::move(spare_.back());
            spare_.pop_back();
        }
        block->address = address;
        block->bitsPerPixel = bitsPerPixel;
        block->pitch = pitch;
        inUse_.push_back(std::move(block));
        return inUse_.back().get();
    }

    // A block this object did not hand out, or one already released, is ignored.
    void release(qx::RowBlock* block) {
        auto found = std::find_if(inUse_.begin(), inUse_.end(),
                                  [block](const auto& b) { return b.get() == block; });
        if (found != inUse_.end()) {
            spare_.push_back(std::move(*found));
            inUse_.erase(found);
        }
    }

    bool empty() const { return inUse_.empty(); }

private:
    std::vector<std::unique_ptr<qx::RowBlock>> inUse_;
    std::vector<std::unique_ptr<qx::RowBlock>> spare_;
};

} // namespace qxhost
