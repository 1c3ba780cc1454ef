// The round buttons' side of the scene: leaving one round and entering the next.
#include "choice/QXChoice.h"

#include "choice/controls/Porte.h"
#include "services/HostServices.h"
#include "visual/ImageElement.h"

namespace qx {

void QXChoice::leaveRound() {
    // The first round's picture stays; later rounds are drawn above it.
    if (currentRound_ > 0 && rounds_[currentRound_] != nullptr) {
        rounds_[currentRound_]->hidden = 1;
    }
}

void QXChoice::enterRound(std::int32_t round) {
    currentRound_ = round;
    if (rounds_[round] != nullptr) {
        rounds_[round]->hidden = 0;
    }
    hostLog(kLogTrace, "QXChoice::Manche %i selected\n", round + 1);
    for (int slot = 0; slot < kMappedDoors; ++slot) {
        if (doors_[slot] != nullptr) {
            doors_[slot]->hidden = screen::kRoundDoors[round].contains(slot + 1) ? 0 : 1;
        }
    }
}

} // namespace qx
