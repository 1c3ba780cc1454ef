#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "choice/topics/Curve.h"
#include "runtime/Host.h"

namespace {

class Curves : public ::testing::Test {
protected:
    // The curve's value at the given clock time, followed by its finished flag.
    std::pair<double, std::int32_t> at(qx::Curve& curve, std::int32_t time) {
        host.clock().set(time);
        const double value = curve.value();
        return {value, curve.isFinished()};
    }
    qxhost::Host host;
};

TEST_F(Curves, LinearFinishesOnlyWhenEvaluatedPastItsEnd) {
    host.clock().set(5000);
    qx::LinearCurve shrink(1.0, 0.0, 700);
    EXPECT_EQ(at(shrink, 5000), std::make_pair(1.0, 0));
    EXPECT_EQ(at(shrink, 5350), std::make_pair(0.5, 0));
    EXPECT_EQ(at(shrink, 5700), std::make_pair(0.0, 0));
    host.clock().set(9000);
    EXPECT_EQ(shrink.isFinished(), 0); // not evaluated since its end
    EXPECT_EQ(at(shrink, 5701), std::make_pair(0.0, 1));
    host.clock().set(5350);
    EXPECT_EQ(shrink.isFinished(), 1); // never cleared
}

TEST_F(Curves, SmoothAppliesSmoothstepTwice) {
    host.clock().set(1000);
    qx::SmoothCurve slide(0.0, 100.0, 400);
    EXPECT_EQ(at(slide, 1100).first, 6.561279296875);
    EXPECT_EQ(at(slide, 1200).first, 50.0);
    EXPECT_EQ(at(slide, 1300).first, 93.438720703125);
    EXPECT_EQ(at(slide, 1400), std::make_pair(100.0, 0));
}

TEST_F(Curves, WobbleStartsAndEndsMidwayAndStaysInRange) {
    host.clock().set(0);
    qx::WobbleCurve wobble(10.0, 0.0, 1000, 80, 0.9);
    EXPECT_NEAR(at(wobble, 0).first, 5.0, 1e-6);
    double low = 10.0, high = 0.0;
    for (std::int32_t time = 1; time < 1000; ++time) {
        low = std::min(low, at(wobble, time).first);
        high = std::max(high, at(wobble, time).first);
    }
    EXPECT_TRUE(low >= 0.0 && high <= 10.0 && high - low > 8.0) << low << ".." << high;
    EXPECT_NEAR(at(wobble, 1000).first, 5.0, 1e-6);
    EXPECT_EQ(at(wobble, 1001), std::make_pair(0.0, 1));
}

TEST_F(Curves, DelayedStartHoldsTheFirstValue) {
    host.clock().set(2000);
    qx::LinearCurve fade(0.6, 0.0, 400, 2000 + 1200);
    for (std::int32_t time : {2000, 2600, 3199, 3200}) {
        EXPECT_EQ(at(fade, time), std::make_pair(0.6, 0)) << time;
    }
    EXPECT_DOUBLE_EQ(at(fade, 3400).first, 0.3);
    EXPECT_EQ(at(fade, 3601), std::make_pair(0.0, 1));
}

TEST_F(Curves, ElapsedTimeSurvivesTheClockWrapping) {
    host.clock().set(std::numeric_limits<std::int32_t>::max() - 99);
    qx::LinearCurve grow(0.0, 1.0, 400);
    EXPECT_EQ(at(grow, std::numeric_limits<std::int32_t>::min() + 100), std::make_pair(0.5, 0));
}

} // namespace
