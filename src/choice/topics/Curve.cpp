#include "choice/topics/Curve.h"

#include <cmath>

namespace qx {

namespace {
// A zero duration would divide by zero; such a curve is simply at its end.
double fractionOf(std::int32_t elapsed, std::int32_t duration) {
    return duration > 0 ? static_cast<double>(elapsed) / duration : 1.0;
}
} // namespace

std::int32_t Curve::elapsedNow() const {
    // The host's millisecond clock wraps like a tick count; unsigned arithmetic keeps the
    // difference right across the wrap instead of overflowing.
    const auto now = static_cast<std::uint32_t>(hostTime());
    return static_cast<std::int32_t>(now - static_cast<std::uint32_t>(startTime));
}

double LinearCurve::value() {
    return evaluate([this](std::int32_t elapsed) {
        if (duration <= 0) {
            return to;
        }
        return from + ((to - from) * elapsed) / duration;
    });
}

double SmoothCurve::value() {
    return evaluate([this](std::int32_t elapsed) {
        const double t = fractionOf(elapsed, duration);
        const double s = t * t * (3.0 - 2.0 * t);
        const double s2 = s * s * (3.0 - 2.0 * s);
        return from + (to - from) * s2;
    });
}

double WobbleCurve::value() {
    return evaluate([this](std::int32_t elapsed) {
        const double t = fractionOf(elapsed, duration);
        const double k =
            0.5 + 0.5 * std::exp(-damping * t) * std::sin(2.0 * halfTurn * frequency * t);
        return from + (to - from) * k;
    });
}

} // namespace qx
