#include "core/ImplementerList.h"

#include "services/HostServices.h"

namespace qx {

ImplementerList::ImplementerList(const char* interfaceName) {
    InterfaceRegistry* registry = hostRegistry();
    while (void* pointer = findNext(registry, interfaceName)) {
        append(pointer);
    }
}

} // namespace qx
