#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "session/SceneSession.h"

namespace {

std::string binaryDir() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return dir != nullptr ? dir : ".";
}

TEST(ScenePlay, DemoDataSetsUpAndDraws) {
    qxhost::SessionOptions options;
    options.modulePath = binaryDir() + "/qxchoice.kpx";
    options.dataPath = binaryDir() + "/data/demo";
    qxhost::SceneSession session(options);
    ASSERT_TRUE(session.start()) << session.error();
    session.moveTo(300, 300);
    session.runFor(2000);
    EXPECT_TRUE(session.running());
    session.surface().savePng(binaryDir() + "/scene-first.png");
    for (const auto& line : session.host().log().lines()) {
        if (line.level >= 3) {
            ADD_FAILURE() << line.message;
        }
    }
}

} // namespace
