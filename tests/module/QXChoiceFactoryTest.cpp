#include <gtest/gtest.h>

#include <set>
#include <string>

#include "module/QXChoiceFactory.h"
#include "runtime/Host.h"

namespace {

std::set<std::string> interfacesOf(const qxhost::Host& host, const char* objectName) {
    std::set<std::string> names;
    for (const qx::RegistryEntry* entry : host.entries(objectName)) {
        names.insert(entry->interfaceName);
    }
    return names;
}

class Factory : public ::testing::Test {
protected:
    qxhost::Host host;
};

TEST_F(Factory, PublishesItsSceneFactoryUnderTheModuleName) {
    {
        qx::QXChoiceFactory factory;
        const auto entries = host.entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_STREQ(entries[0]->objectName, "qxchoice");
        EXPECT_STREQ(entries[0]->interfaceName, "IQXSceneFactory");
        EXPECT_EQ(entries[0]->table, &factory.table);
        // The pointer is the factory's interface sub-object, usable without its class.
        EXPECT_EQ(entries[0]->pointer, static_cast<qx::IQXSceneFactory*>(&factory));
        EXPECT_EQ(host.findInterface("qxchoice", "iqxscenefactory"),
                  static_cast<qx::IQXSceneFactory*>(&factory));
    }
    EXPECT_TRUE(host.entries().empty());
}

TEST_F(Factory, ScenesComeAndGoWithTheirThreeInterfaces) {
    qx::QXChoiceFactory factory;
    auto* sceneFactory =
        static_cast<qx::IQXSceneFactory*>(factory.table.getInterface(qx::kIQXSceneFactoryName));
    ASSERT_NE(sceneFactory, nullptr);

    qx::InterfaceTable* scene = sceneFactory->createScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_STREQ(scene->objectName(), "QXChoice");
    EXPECT_EQ(interfacesOf(host, "QXChoice"),
              (std::set<std::string>{"IQXScene", "IReferenceCount", "QXButtonNotify"}));
    qx::InterfaceTable* another = sceneFactory->createScene();
    EXPECT_EQ(host.entries("QXChoice").size(), 6u);

    sceneFactory->destroyScene(scene);
    EXPECT_EQ(host.entries("QXChoice").size(), 3u);
    sceneFactory->destroyScene(another);
    sceneFactory->destroyScene(nullptr);
    EXPECT_TRUE(host.entries("QXChoice").empty());
    EXPECT_EQ(host.entries("qxchoice").size(), 1u);
}

TEST_F(Factory, AHeldReferenceOutlivesDestroySceneAndTheFactory) {
    qx::InterfaceTable* scene = nullptr;
    qx::IReferenceCount* count = nullptr;
    {
        qx::QXChoiceFactory factory;
        scene = factory.createScene();
        count = static_cast<qx::IReferenceCount*>(scene->getInterface(qx::kIReferenceCountName));
        ASSERT_NE(count, nullptr);
        count->addReference();
        factory.destroyScene(scene);
        EXPECT_EQ(host.entries("QXChoice").size(), 3u);
    }
    // The factory's release leaves the scenes a host still holds alone.
    EXPECT_TRUE(host.entries("qxchoice").empty());
    EXPECT_EQ(host.entries("QXChoice").size(), 3u);
    count->releaseReference();
    EXPECT_TRUE(host.entries().empty());
}

} // namespace
