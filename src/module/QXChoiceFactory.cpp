#include "module/QXChoiceFactory.h"

#include "choice/QXChoice.h"
#include "core/Memory.h"

namespace qx {

QXChoiceFactory::QXChoiceFactory() : PluginModule("qxchoice") {
    table.addInterface(kIQXSceneFactoryName, static_cast<IQXSceneFactory*>(this));
}

InterfaceTable* QXChoiceFactory::createScene() {
    auto* scene = new (fallible) QXChoice;
    if (scene == nullptr) {
        return nullptr;
    }
    // A scene that could not publish its interfaces could be neither driven nor released.
    if (scene->table.count() < 3) {
        scene->releaseReference();
        return nullptr;
    }
    return &scene->table;
}

void QXChoiceFactory::destroyScene(InterfaceTable* scene) {
    // Hosts must pass a table that createScene returned; null is forgiven.
    if (scene == nullptr) {
        return;
    }
    if (auto* count = static_cast<IReferenceCount*>(scene->getInterface(kIReferenceCountName))) {
        count->releaseReference();
    }
}

} // namespace qx
