#pragma once

#include <cstdint>

namespace qx {

// Locks (nonzero) or unlocks (0) every QXLockPorte registered right now, the newest first,
// the caller included.
void lockAllDoors(std::int32_t lock);

} // namespace qx
