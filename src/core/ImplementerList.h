#pragma once

#include "qx/containers.h"

namespace qx {

// Every registered pointer for one interface name at the moment of construction, newest
// registration first. Holds no references on the objects.
class ImplementerList : public PointerList {
public:
    explicit ImplementerList(const char* interfaceName);
};

} // namespace qx
