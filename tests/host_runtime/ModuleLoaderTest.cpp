#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "host_archives/TempFolder.h"
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

// The system loader maps a module by the offsets in its headers; cut short, the file ends
// inside a segment and the first touch of the missing page kills the process.
TEST(ModuleLoader, RefusesATruncatedModuleOrAFifoBeforeTheSystemLoaderSeesIt) {
    const std::string bytes = qxtest::readFile(QX_FIXTURE_COMPLETE);
    ASSERT_GT(bytes.size(), 8192u);
    qxhost::ModuleLoader loader;
    for (const std::size_t keep : {bytes.size() / 2, std::size_t{4096}, std::size_t{100}}) {
        const std::string cut = ::testing::TempDir() + "cut-" + std::to_string(keep) + ".kpx";
        std::ofstream(cut, std::ios::binary) << bytes.substr(0, keep);
        EXPECT_FALSE(loader.open(cut));
        EXPECT_EQ(loader.error().rfind("cannot load module " + cut + ": truncated or damaged: ", 0),
                  0u)
            << loader.error();
        EXPECT_NE(loader.error().find("lies past the end of the file (" + std::to_string(keep) +
                                      " bytes)"),
                  std::string::npos)
            << loader.error();
    }
#if !defined(_WIN32)
    const std::string fifo = ::testing::TempDir() + "fifo.kpx";
    std::filesystem::remove(fifo);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(loader.open(fifo));
    EXPECT_EQ(loader.error(), "cannot load module " + fifo +
                                  ": not a regular file (a FIFO, a device or a socket cannot be "
                                  "loaded)");
    std::filesystem::remove(fifo);
#endif
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
