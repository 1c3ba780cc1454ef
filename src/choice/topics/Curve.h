// Time curves that drive every animation. Nothing advances a curve: each evaluation reads
// the host clock afresh, so a curve is only ever asked, never stepped.
#pragma once

#include <cstdint>

#include "services/HostServices.h"

namespace qx {

// A holder keeps at most one curve per purpose and destroys it through the virtual
// destructor; a curve is never restarted, a new one is made instead.
class Curve {
public:
    Curve(const Curve&) = delete;
    Curve& operator=(const Curve&) = delete;

    virtual double value() = 0;
    // 1 once an evaluation has found the curve past its end; never looks at the clock.
    virtual std::int32_t isFinished() { return 0; }
    virtual ~Curve() = default;

protected:
    // startTime may lie in the future: until then the curve holds at `from`.
    Curve(double from, double to, std::int32_t duration, std::int32_t startTime)
        : startTime(startTime), from(from), to(to), duration(duration) {}

    // The frame shared by every shape: `from` before the start, `to` (and finished) past
    // the end, otherwise the shape's formula for 0 <= elapsed <= duration.
    template <class Shape> double evaluate(Shape shape) {
        const std::int32_t elapsed = elapsedNow();
        if (elapsed < 0) {
            return from;
        }
        if (elapsed > duration) {
            finished = 1;
            return to;
        }
        return shape(elapsed);
    }

    std::int32_t startTime;
    double from;
    double to;
    std::int32_t duration;
    std::int32_t finished = 0;

private:
    std::int32_t elapsedNow() const;
};

class LinearCurve final : public Curve {
public:
    LinearCurve(double from, double to, std::int32_t duration, std::int32_t startTime = hostTime())
        : Curve(from, to, duration, startTime) {}

    double value() override;
    std::int32_t isFinished() override { return finished; }
};

// The smoothstep polynomial applied twice: flat at both ends, steeper in the middle.
class SmoothCurve final : public Curve {
public:
    SmoothCurve(double from, double to, std::int32_t duration, std::int32_t startTime = hostTime())
        : Curve(from, to, duration, startTime) {}

    double value() override;
    std::int32_t isFinished() override { return finished; }
};

inline constexpr double kHalfTurn = 3.1415926535;

// A damped sine about the middle of the range that jumps to `to` once it is over.
class WobbleCurve final : public Curve {
public:
    WobbleCurve(double from, double to, std::int32_t duration, std::int32_t frequency,
                double damping, double halfTurn = kHalfTurn, std::int32_t startTime = hostTime())
        : Curve(from, to, duration, startTime), frequency(frequency), damping(damping),
          halfTurn(halfTurn) {}

    double value() override;
    std::int32_t isFinished() override { return finished; }

private:
    std::int32_t frequency; // whole oscillations over the duration
    double damping;
    double halfTurn;
};

} // namespace qx
