#include <gtest/gtest.h>

#include <cstring>

#include "module/PluginModule.h"
#include "runtime/Host.h"

namespace {

TEST(PluginArguments, KeepsPrivateCopiesAndNullsInPlace) {
    qxhost::Host host;
    qx::PluginModule module("plugin");
    EXPECT_EQ(module.arguments, nullptr);

    char first[] = "--data";
    char third[] = "choice";
    const char* arguments[4] = {first, nullptr, third, nullptr};
    ASSERT_TRUE(module.copyArguments(arguments));
    ASSERT_NE(module.arguments, nullptr);
    std::strcpy(first, "XXXXXX");
    EXPECT_STREQ(module.arguments->strings[0], "--data");
    EXPECT_NE(module.arguments->strings[0], first);
    EXPECT_EQ(module.arguments->strings[1], nullptr);
    EXPECT_STREQ(module.arguments->strings[2], "choice");
    EXPECT_EQ(module.arguments->strings[3], nullptr);
}

TEST(PluginArguments, ACopyReplacesTheRecordWhole) {
    qxhost::Host host;
    qx::PluginModule module("plugin");
    const char* full[4] = {"a", "b", "c", "d"};
    ASSERT_TRUE(module.copyArguments(full));
    const char* nulls[4] = {nullptr, nullptr, nullptr, nullptr};
    ASSERT_TRUE(module.copyArguments(nulls));
    for (char* copy : module.arguments->strings) {
        EXPECT_EQ(copy, nullptr);
    }
    // A host that passes no array at all gets four null copies, not a crash.
    ASSERT_TRUE(module.copyArguments(nullptr));
    EXPECT_EQ(module.arguments->strings[0], nullptr);
}

} // namespace
