// The built qxchoice.kpx, loaded the way a host loads it and reached only through its
// exports and what they return.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>

#include "qx/scene.h"
#include "runtime/Host.h"
#include "runtime/ModuleLoader.h"

namespace {

std::string builtModule() {
    const char* dir = std::getenv("QX_BINARY_DIR");
    return std::string(dir != nullptr ? dir : ".") + "/qxchoice.kpx";
}

std::set<std::string> interfacesOf(const qxhost::Host& host, const char* objectName) {
    std::set<std::string> names;
    for (const qx::RegistryEntry* entry : host.entries(objectName)) {
        names.insert(entry->interfaceName);
    }
    return names;
}

class BuiltModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module.open(builtModule())) << module.error(); }

    // Declared first so that it outlives the module, which releases into it.
    qxhost::Host host;
    qxhost::ModuleLoader module;
};

// The dependency block stays put across init; init with four null strings publishes the one
// factory, found alike through the returned table and the host's search.
TEST_F(BuiltModule, InitRegistersTheSceneFactoryAndReleaseTakesItBack) {
    const qx::DependencyBlock* before = module.dependencyBlock();
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(before->zero, 0u);
    EXPECT_STREQ(before->names[0], "pngfile");
    EXPECT_EQ(before->names[1], nullptr);

    qx::InterfaceTable* table = module.init(host, {nullptr, nullptr, nullptr, nullptr});
    ASSERT_NE(table, nullptr) << module.error();
    EXPECT_EQ(module.dependencyBlock(), before);
    const auto entries = host.entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_STREQ(entries[0]->objectName, "qxchoice");
    EXPECT_STREQ(entries[0]->interfaceName, "IQXSceneFactory");
    EXPECT_EQ(entries[0]->table, table);
    void* factory = table->getInterface(qx::kIQXSceneFactoryName);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(host.findInterface("qxchoice", qx::kIQXSceneFactoryName), factory);
    EXPECT_TRUE(host.log().lines().empty());

    module.release();
    EXPECT_TRUE(host.entries().empty());
    EXPECT_FALSE(module.isInitialised());
    // The module can be initialised again after a release, as a host reloading it would.
    ASSERT_NE(module.init(host), nullptr);
    EXPECT_EQ(host.entries("qxchoice").size(), 1u);
    module.close();
    EXPECT_TRUE(host.entries().empty());
}

TEST_F(BuiltModule, ASceneLivesFromCreateSceneToDestroyScene) {
    qx::InterfaceTable* table = module.init(host);
    ASSERT_NE(table, nullptr);
    auto* factory =
        static_cast<qx::IQXSceneFactory*>(table->getInterface(qx::kIQXSceneFactoryName));
    ASSERT_NE(factory, nullptr);

    qx::InterfaceTable* scene = factory->createScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(interfacesOf(host, "QXChoice"),
              (std::set<std::string>{"IQXScene", "IReferenceCount", "QXButtonNotify"}));
    EXPECT_NE(scene->getInterface(qx::kIQXSceneName), nullptr);
    EXPECT_EQ(host.findInterface("QXChoice", qx::kIReferenceCountName),
              scene->getInterface("ireferencecount"));

    factory->destroyScene(scene);
    EXPECT_TRUE(host.entries("QXChoice").empty());
    EXPECT_EQ(host.entries().size(), 1u);
}

} // namespace
