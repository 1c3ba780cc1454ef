#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/Host.h"
#include "runtime/ModuleLoader.h"

namespace {

std::string tempPath(const std::string& name) { return ::testing::TempDir() + name; }

TEST(ModuleLoader, RefusesWhatIsNotAModuleWithOneLineNamingTheFile) {
    qxhost::ModuleLoader loader;

    const std::string missing = tempPath("no-such-module.kpx");
    EXPECT_FALSE(loader.open(missing));
    EXPECT_EQ(loader.error(), "cannot load module " + missing + ": no such file");

    const std::string text = tempPath("not-a-module.kpx");
    std::ofstream(text) << "this is plain text,\nnot a library\n";
    EXPECT_FALSE(loader.open(text));
    EXPECT_EQ(loader.error().rfind("cannot load module " + text + ": not a loadable module (", 0),
              0u)
        << loader.error();
    EXPECT_EQ(loader.error().find('\n'), std::string::npos);

    const std::string folder = tempPath("module-folder.kpx");
    std::filesystem::create_directories(folder);
    EXPECT_FALSE(loader.open(folder));
    EXPECT_EQ(loader.error(),
              "cannot load module " + folder + ": is a directory, not a module file");

    EXPECT_FALSE(loader.open(QX_FIXTURE_NO_RELEASE));
    EXPECT_EQ(loader.error(), std::string("cannot load module ") + QX_FIXTURE_NO_RELEASE +
                                  ": not a scene module: export \"release\" is missing");

    EXPECT_FALSE(loader.isOpen());
    qxhost::Host host;
    EXPECT_EQ(loader.init(host), nullptr);
    EXPECT_FALSE(loader.isInitialised());
}

TEST(ModuleLoader, InitThatAnswersNullIsAnErrorAndNothingIsReleased) {
    qxhost::Host host;
    {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_NULL_INIT)) << loader.error();
        EXPECT_EQ(loader.init(host, {"a", nullptr, "c", nullptr}), nullptr);
        EXPECT_EQ(loader.error(),
                  std::string("module ") + QX_FIXTURE_NULL_INIT + ": init returned null");
        EXPECT_FALSE(loader.isInitialised());
        // The host object and all four strings reached the module.
        EXPECT_TRUE(host.log().contains(1, "init a,(null),c,(null)"));
    }
    EXPECT_EQ(host.log().count("release"), 0u);
}

TEST(ModuleLoader, ReadsTheDependencyListUpToItsNull) {
    qxhost::ModuleLoader loader;
    ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE)) << loader.error();
    ASSERT_NE(loader.dependencyBlock(), nullptr);
    EXPECT_EQ(loader.dependencyBlock()->zero, 0u);
    EXPECT_EQ(loader.dependencies(), (std::vector<std::string>{"alpha", "beta"}));
}

TEST(ModuleLoader, ReleasesExactlyOnceAfterASuccessfulInit) {
    qxhost::Host host;
    {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE));
        qx::InterfaceTable* table = loader.init(host);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(loader.factoryTable(), table);
        EXPECT_TRUE(host.log().contains(1, "init (null),(null),(null),(null)"));
        loader.release();
        loader.release();
        EXPECT_EQ(host.log().count("release"), 1u);
    }
    EXPECT_EQ(host.log().count("release"), 1u);

    // Unloading without release still lets the module clean up first.
    {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE));
        ASSERT_NE(loader.init(host), nullptr);
    }
    EXPECT_EQ(host.log().count("release"), 2u);
}

TEST(ModuleLoader, ReopeningClosesThePreviousModule) {
    qxhost::Host host;
    qxhost::ModuleLoader loader;
    ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE));
    ASSERT_NE(loader.init(host), nullptr);
    EXPECT_FALSE(loader.open(tempPath("gone.kpx")));
    EXPECT_EQ(host.log().count("release"), 1u);
    EXPECT_FALSE(loader.isOpen());
    EXPECT_TRUE(loader.dependencies().empty());
}

} // namespace
