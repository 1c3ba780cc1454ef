#include "core/EventObject.h"

namespace qx {

std::int32_t& liveModuleEvents() {
    static std::int32_t count = 0;
    return count;
}

} // namespace qx
