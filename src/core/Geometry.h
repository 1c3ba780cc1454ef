// The value types every subsystem uses; their layouts are part of the host contract.
#pragma once

#include "core/PointArrays.h"
#include "qx/geometry.h"
