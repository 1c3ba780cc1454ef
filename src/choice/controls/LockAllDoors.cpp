#include "choice/controls/LockAllDoors.h"

#include "choice/controls/QXLockPorte.h"
#include "core/ImplementerList.h"

namespace qx {

void lockAllDoors(std::int32_t lock) {
    // The snapshot is complete before any door is called, so a door's reaction cannot
    // disturb the registry's search cursor mid-walk.
    ImplementerList doors(kQXLockPorteName);
    while (void* pointer = doors.next()) {
        auto* door = static_cast<QXLockPorte*>(pointer);
        if (lock != 0) {
            door->lock();
        } else {
            door->unlock();
        }
    }
}

} // namespace qx
