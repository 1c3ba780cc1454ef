// services/, the module's bottom floor: every layer logs, reads the clock and finds
// interfaces through it. Includes only the contract.
//
// The host as the rest of the module sees it: module-wide state written by DllMain and
// init, and thin calls into the host object. Nothing here caches what the host may change.
#pragma once

#include "qx/host.h"
#include "qx/registry.h"

namespace qx {

struct ModuleState {
    void* instance = nullptr;
    HostObject* host = nullptr;
    SettingsList* settings = nullptr;
    InterfaceRegistry* registry = nullptr;
    IAtomTable* atoms = nullptr;
    void* auxiliary = nullptr; // the contract wants it asked for and kept; nothing uses it
};

ModuleState& moduleState();

// Stores the host object and the services it returns (settings, registry, atom table,
// auxiliary service), in that order.
void bindHost(HostObject* host);
// Forgets the host; later calls into it do nothing and answer null or 0.
void unbindHost();

// The host's log is printf-style: it receives the format and the values themselves, so
// that it sees each message's own format and formats it without any length limit.
template <class... Values> void hostLog(std::int32_t level, const char* format, Values... values) {
    if (HostObject* host = moduleState().host) {
        host->log(level, format, values...);
    }
}
std::int32_t hostTime();
void hostProcessEvents();
void* hostFindInterface(const char* objectName, const char* interfaceName);
InterfaceRegistry* hostRegistry();
std::uint32_t atomOf(const char* name);
const char* atomName(std::uint32_t identifier);
// The value of the first setting whose name equals the argument byte for byte, or null.
const char* findSetting(const char* name);

} // namespace qx
