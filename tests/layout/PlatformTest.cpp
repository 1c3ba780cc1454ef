// The operating-system layer as the module uses it, on whichever system the test runs
// (POSIX natively and under qemu, Win32 under wine).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace {

TEST(Platform, TickCountMovesForwardInMilliseconds) {
    const std::uint32_t first = qx::platform::tickCount();
    std::uint32_t previous = first;
    for (int i = 0; i < 10000; ++i, previous = qx::platform::tickCount()) {
        // Steps are taken modulo 2^32 since the count may wrap.
        ASSERT_LT(qx::platform::tickCount() - previous, 1000u) << "reading " << i << " went back";
    }
    EXPECT_LT(previous - first, 10000u);
}

TEST(PlatformDeathTest, ExitProcessEndsAtOnceWithTheStatus) {
    EXPECT_EXIT(qx::platform::exitProcess(0), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(qx::platform::exitProcess(3), ::testing::ExitedWithCode(3), "");
}

TEST(PlatformDeathTest, DebugOutputReachesTheDebugChannel) {
#if defined(_WIN32)
    // OutputDebugStringA goes to an attached debugger and is silent without one.
    const char* const shown = "";
#else
    const char* const shown = "stream diagnostic 42";
#endif
    EXPECT_EXIT(
        {
            qx::platform::debugOutput("");
            qx::platform::debugOutput(std::string(4000, 'x').c_str());
            qx::platform::debugOutput("stream diagnostic 42\n");
            qx::platform::exitProcess(5);
        },
        ::testing::ExitedWithCode(5), shown);
}

} // namespace
