#include "module/QXChoiceFactory.h"

#include <new>

#include "choice/QXChoice.h"

namespace qx {

QXChoiceFactory::QXChoiceFactory() : PluginModule("qxchoice") {
    table.addInterface("IQXSceneFactory", static_cast<IQXSceneFactory*>(this));
}

InterfaceTable* QXChoiceFactory::createScene() {
    auto* scene = new (std::nothrow) QXChoice;
    return scene != nullptr ? &scene->table : nullptr;
}

void QXChoiceFactory::destroyScene(InterfaceTable* scene) {
    // Hosts must pass a table that createScene returned; null is forgiven.
    if (scene == nullptr) {
        return;
    }
    if (auto* count = static_cast<IReferenceCount*>(scene->getInterface("IReferenceCount"))) {
        count->releaseReference();
    }
}

} // namespace qx
