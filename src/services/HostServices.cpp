#include "services/HostServices.h"

#include <cstring>

namespace qx {

ModuleState& moduleState() {
    static ModuleState state;
    return state;
}

void bindHost(HostObject* host) {
    ModuleState& state = moduleState();
    state.host = host;
    if (host == nullptr) {
        state.settings = nullptr;
        state.registry = nullptr;
        state.atoms = nullptr;
        state.auxiliary = nullptr;
        return;
    }
    state.settings = host->settings();
    state.registry = host->interfaceRegistry();
    state.atoms = host->atomTable();
    state.auxiliary = host->auxiliaryService();
}

void unbindHost() { bindHost(nullptr); }

std::int32_t hostTime() {
    HostObject* host = moduleState().host;
    return host != nullptr ? host->currentTime() : 0;
}

void hostProcessEvents() {
    if (HostObject* host = moduleState().host) {
        host->processEvents();
    }
}

void* hostFindInterface(const char* objectName, const char* interfaceName) {
    HostObject* host = moduleState().host;
    return host != nullptr ? host->findInterface(objectName, interfaceName) : nullptr;
}

InterfaceRegistry* hostRegistry() { return moduleState().registry; }

std::uint32_t atomOf(const char* name) {
    IAtomTable* atoms = moduleState().atoms;
    return atoms != nullptr && name != nullptr ? atoms->identifierOf(name) : 0;
}

const char* atomName(std::uint32_t identifier) {
    IAtomTable* atoms = moduleState().atoms;
    return atoms != nullptr ? atoms->nameOf(identifier) : nullptr;
}

const char* findSetting(const char* name) {
    SettingsList* settings = moduleState().settings;
    if (settings == nullptr || name == nullptr) {
        return nullptr;
    }
    for (const SettingsNode* node = *settings; node != nullptr; node = node->next) {
        if (node->name != nullptr && std::strcmp(node->name, name) == 0) {
            return node->value;
        }
    }
    return nullptr;
}

} // namespace qx
