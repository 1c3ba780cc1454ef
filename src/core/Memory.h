// core/: the object model the contract declares (interface tables, the registry, pointer
// containers, geometry, colours), the module's events and its one allocation point.
// Includes platform/, services/ and the contract.
//
// The module's one allocation point.
//
// Everything the module allocates comes from here: objects through `new (fallible) T(...)`
// (released with plain `delete`), raw blocks through allocateBlock (released with
// releaseBlock). Nothing here throws: when memory runs out the caller gets null and takes
// the null path its operation promises, so no exception can leave the module. The module
// uses no standard container or string for the same reason. Because every allocation
// passes through this one place, a test host can make any single one of them fail (see
// judgeAllocations) and walk a whole scene through each failure in turn.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

struct Fallible {
    explicit constexpr Fallible() = default;
};
inline constexpr Fallible fallible{};

// size bytes from the C heap (the host may free such a block with std::free), or null.
void* allocateBlock(std::size_t size) noexcept;
// Grows or shrinks a block from allocateBlock (or null), keeping its bytes; null, with the
// old block untouched, when memory runs out.
void* resizeBlock(void* block, std::size_t size) noexcept;
// resizeBlock whose failure ends the process at once with status 0: the one place where the
// game gives up instead of going on (encoding transparency runs). Never null.
void* resizeVitalBlock(void* block, std::size_t size) noexcept;
void releaseBlock(void* block) noexcept;
// A copy of a terminated string in a block, or null.
char* copyString(const char* text) noexcept;

// Tests only: asked before every allocation with its running number (from 1, counted since
// the judge was set) and whether its failure ends the process; answering true makes that
// allocation fail. Null, the default, lets every allocation through.
using AllocationJudge = bool (*)(std::uint64_t number, bool vital);
void judgeAllocations(AllocationJudge judge) noexcept;

} // namespace qx

void* operator new(std::size_t size, const qx::Fallible&) noexcept;
// Called only when a constructor throws, which the module's never do.
void operator delete(void* block, const qx::Fallible&) noexcept;
