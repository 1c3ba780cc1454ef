#include "core/PointArrays.h"

#include <cstring>

#include "core/Memory.h"

namespace qx {

namespace {
PointArray allocate(std::int32_t count) {
    PointArray array;
    if (count <= 0) {
        return array;
    }
    array.points =
        static_cast<Point*>(allocateBlock(sizeof(Point) * static_cast<std::size_t>(count)));
    array.count = array.points != nullptr ? count : 0;
    return array;
}
} // namespace

PointArray makePointArray(std::initializer_list<Point> points) {
    PointArray array = allocate(static_cast<std::int32_t>(points.size()));
    std::int32_t i = 0;
    for (const Point& p : points) {
        if (i < array.count) {
            array.points[i++] = p;
        }
    }
    return array;
}

PointArray copyPointArray(const PointArray& source) {
    PointArray array = allocate(source.count);
    if (array.count > 0) {
        std::memcpy(array.points, source.points,
                    sizeof(Point) * static_cast<std::size_t>(array.count));
    }
    return array;
}

void destroyPointArray(PointArray& array) {
    releaseBlock(array.points);
    array.points = nullptr;
    array.count = 0;
}

} // namespace qx
