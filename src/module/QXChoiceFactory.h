#pragma once

#include "module/PluginModule.h"
#include "qx/scene.h"

namespace qx {

// The module's one factory object, published as "IQXSceneFactory" of "qxchoice".
class QXChoiceFactory final : public IQXSceneFactory, public PluginModule {
public:
    QXChoiceFactory();
    QXChoiceFactory(const QXChoiceFactory&) = delete;
    QXChoiceFactory& operator=(const QXChoiceFactory&) = delete;
    ~QXChoiceFactory() = default;

    InterfaceTable* createScene() override;
    void destroyScene(InterfaceTable* scene) override;
};

} // namespace qx
