#include "core/Memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Platform.h"

namespace qx {

namespace {
AllocationJudge judge = nullptr;
std::uint64_t counted = 0;

bool refused(bool vital) { return judge != nullptr && judge(++counted, vital); }
} // namespace

void judgeAllocations(AllocationJudge newJudge) noexcept {
    judge = newJudge;
    counted = 0;
}

void* allocateBlock(std::size_t size) noexcept {
    // malloc(0) may answer null; every block is at least one byte so that null means failure.
    return refused(false) ? nullptr : std::malloc(size != 0 ? size : 1);
}

void* resizeBlock(void* block, std::size_t size) noexcept {
    return refused(false) ? nullptr : std::realloc(block, size != 0 ? size : 1);
}

void* resizeVitalBlock(void* block, std::size_t size) noexcept {
    void* grown = refused(true) ? nullptr : std::realloc(block, size != 0 ? size : 1);
    if (grown == nullptr) {
        // Without its runs a cursor cannot be drawn; the game gives up quietly.
        platform::exitProcess(0);
    }
    return grown;
}

void releaseBlock(void* block) noexcept { std::free(block); }

char* copyString(const char* text) noexcept {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t length = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(allocateBlock(length));
    if (copy != nullptr) {
        std::memcpy(copy, text, length);
    }
    return copy;
}

} // namespace qx

void* operator new(std::size_t size, const qx::Fallible&) noexcept {
    return qx::refused(false) ? nullptr : ::operator new(size, std::nothrow);
}

void operator delete(void* block, const qx::Fallible&) noexcept { ::operator delete(block); }
