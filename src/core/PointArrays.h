#pragma once

#include <initializer_list>

#include "qx/geometry.h"

namespace qx {

// A point array from a list of points; the storage is a block of the C heap.
PointArray makePointArray(std::initializer_list<Point> points);
// A new array with the same points.
PointArray copyPointArray(const PointArray& source);
// Frees the points; the array becomes empty.
void destroyPointArray(PointArray& array);

} // namespace qx
