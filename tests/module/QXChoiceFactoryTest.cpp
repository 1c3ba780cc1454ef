#include <gtest/gtest.h>

#include "module/QXChoiceFactory.h"
#include "runtime/Host.h"

namespace {

class Factory : public ::testing::Test {
protected:
    qxhost::Host host;
};

// Which three interfaces a scene publishes is checked on the built module end to end.
TEST_F(Factory, ScenesComeAndGoEachWithItsOwnEntries) {
    qx::QXChoiceFactory factory;
    auto* sceneFactory =
        static_cast<qx::IQXSceneFactory*>(factory.table.getInterface(qx::kIQXSceneFactoryName));
    ASSERT_NE(sceneFactory, nullptr);

    qx::InterfaceTable* scene = sceneFactory->createScene();
    ASSERT_NE(scene, nullptr);
    EXPECT_STREQ(scene->objectName(), "QXChoice");
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
