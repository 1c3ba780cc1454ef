#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "runtime/Host.h"
#include "runtime/ModuleLoader.h"

namespace {

TEST(ModuleLoader, RefusesWhatIsNotAModuleWithOneLineNamingTheFile) {
    const std::string missing = ::testing::TempDir() + "no-such-module.kpx";
    const std::string text = ::testing::TempDir() + "not-a-module.kpx";
    const std::string folder = ::testing::TempDir() + "module-folder.kpx";
    std::ofstream(text) << "this is plain text,\nnot a library\n";
    std::filesystem::create_directories(folder);
    const std::string no = "cannot load module ";
    qxhost::ModuleLoader loader;
    for (const auto& [path, reason] : std::vector<std::pair<std::string, std::string>>{
             {missing, ": no such file"},
             {text, ": not a loadable module ("},
             {folder, ": is a directory, not a module file"},
             {QX_FIXTURE_NO_RELEASE, ": not a scene module: export \"release\" is missing"}}) {
        EXPECT_FALSE(loader.open(path));
        EXPECT_EQ(loader.error().rfind(no + path + reason, 0), 0u) << loader.error();
        EXPECT_EQ(loader.error().find('\n'), std::string::npos);
    }
    qxhost::Host host;
    EXPECT_EQ(loader.init(host), nullptr);
}

TEST(ModuleLoader, InitThatAnswersNullIsAnErrorAndNothingIsReleased) {
    qxhost::Host host;
    {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_NULL_INIT)) << loader.error();
        EXPECT_EQ(loader.init(host, {"a", nullptr, "c", nullptr}), nullptr);
        EXPECT_EQ(loader.error(),
                  std::string("module ") + QX_FIXTURE_NULL_INIT + ": init returned null");
        // The host object and all four strings reached the module.
        EXPECT_TRUE(host.log().contains(1, "init a,(null),c,(null)"));
    }
    EXPECT_EQ(host.log().count("release"), 0u);
}

TEST(ModuleLoader, ReadsDependenciesAndReleasesExactlyOnceAfterInit) {
    qxhost::Host host;
    {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE)) << loader.error();
        EXPECT_EQ(loader.dependencies(), (std::vector<std::string>{"alpha", "beta"}));
        qx::InterfaceTable* table = loader.init(host);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(loader.factoryTable(), table);
        EXPECT_TRUE(host.log().contains(1, "init (null),(null),(null),(null)"));
        loader.release();
        loader.release();
        EXPECT_EQ(host.log().count("release"), 1u);
    }
    EXPECT_EQ(host.log().count("release"), 1u);

    // Unloading or reopening without release still lets the module clean up first.
    for (bool reopen : {false, true}) {
        qxhost::ModuleLoader loader;
        ASSERT_TRUE(loader.open(QX_FIXTURE_COMPLETE));
        ASSERT_NE(loader.init(host), nullptr);
        if (reopen) {
            EXPECT_FALSE(loader.open(::testing::TempDir() + "gone.kpx"));
            EXPECT_EQ(host.log().count("release"), 3u);
            EXPECT_TRUE(loader.dependencies().empty());
        }
    }
    EXPECT_EQ(host.log().count("release"), 3u);
}

} // namespace
