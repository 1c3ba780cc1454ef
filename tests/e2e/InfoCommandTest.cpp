// qxhost's command line, run in-process on the built module and on bad input.
#include <gtest/gtest.h>

#include "app/AppTestSupport.h"

namespace {

using Outcome = qxtest::CommandResult;
using qxtest::modulePath;

bool isOneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

TEST(QxhostInfo, ShowsDependenciesRegistrationAndACleanRelease) {
    const Outcome run = qxtest::qxhost({"info", modulePath()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Module: " + modulePath() +
                           "\n"
                           "Dependencies: pngfile\n"
                           "init (four null argument strings): 1 registry entry\n"
                           "  object \"qxchoice\", interface \"IQXSceneFactory\"\n"
                           "release: no registry entries remain\n");
}

TEST(QxhostCommandLine, UsageErrorsAreOneLineAndHelpGoesToStandardOutput) {
    for (const qxhost::app::Arguments& arguments : {qxhost::app::Arguments{},
                                                    {"info"},
                                                    {"info", "a.kpx", "b.kpx"},
                                                    {"frobnicate"},
                                                    {"help", "frobnicate"}}) {
        const Outcome run = qxtest::qxhost(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(isOneLine(run.err)) << run.err;
        EXPECT_EQ(run.err.rfind("qxhost: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out, "");
    }

    const Outcome help = qxtest::qxhost({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    // The command list in two aligned columns: names, then summaries.
    qxtest::expectHas(help.out, {"\n  play   play the scene", "\n  run    play a script",
                                 "\n  check  report", "\n  info   show a module's"});

    const Outcome infoHelp = qxtest::qxhost({"info", "--help"});
    EXPECT_EQ(infoHelp.status, 0);
    EXPECT_EQ(infoHelp.out.rfind("Usage: qxhost info MODULE\n", 0), 0u);
    EXPECT_EQ(qxtest::qxhost({"help", "info"}).out, infoHelp.out);
}

} // namespace
