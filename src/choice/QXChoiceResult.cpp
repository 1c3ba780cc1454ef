// What play hands the game: each door's topic in the game-state record.
#include "choice/QXChoice.h"

#include "choice/controls/Porte.h"
#include "core/Geometry.h"

namespace qx {

void QXChoice::writeTopics() {
    if (gameState_ == nullptr) {
        return;
    }
    for (int i = 0; i < kMappedDoors; ++i) {
        if (doors_[i] != nullptr) {
            gameState_[wide(kFirstDoorWord) + doorMap_[i]] =
                reinterpret_cast<Handle>(doors_[i]->heldTopic());
        }
    }
}

} // namespace qx
