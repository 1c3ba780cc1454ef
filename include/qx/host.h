// The host object: the engine's services as a scene module sees them.
//
// The host hands its host object to a module's init and keeps it alive for as long as
// the module is loaded. Every operation runs on the host's thread.
#pragma once

#include "qx/registry.h"
#include "qx/types.h"

namespace qx {

// Maps names (resource types, pixel formats, topic titles) to 32-bit identifiers.
class IAtomTable {
public:
    // Equal names give equal identifiers. The name is copied by the table.
    virtual std::uint32_t identifierOf(const char* name) = 0;
    // The name of an identifier, owned by the table; null for an unknown identifier.
    virtual const char* nameOf(std::uint32_t identifier) = 0;

protected:
    ~IAtomTable() = default;
};

// One node of the host's settings list; modules read the list in place.
struct SettingsNode {
    const char* name;
    const char* value;
    SettingsNode* next;
};

// The settings list is a pointer to its first node (null when empty).
using SettingsList = SettingsNode*;

// Log levels used by the module.
inline constexpr std::int32_t kLogTrace = 1;
inline constexpr std::int32_t kLogError = 3;

class HostObject {
public:
    // Runs one pass of the host's event processing (delivers queued events).
    virtual void processEvents() = 0;
    // The process-wide interface registry, owned by the host.
    virtual InterfaceRegistry* interfaceRegistry() = 0;
    // The atom table, owned by the host.
    virtual IAtomTable* atomTable() = 0;
    // A service pointer that modules keep and do not use.
    virtual void* auxiliaryService() = 0;
    // The settings list, owned by the host; the pointee may change between calls.
    virtual SettingsList* settings() = 0;
    // That interface of the named object (any object when objectName is null), or null.
    virtual void* findInterface(const char* objectName, const char* interfaceName) = 0;
    // Records a printf-style message at a level (1 trace, 3 failure to obtain something).
    virtual void log(std::int32_t level, const char* format, ...) = 0;
    // The host clock in milliseconds.
    virtual std::int32_t currentTime() = 0;

protected:
    ~HostObject() = default;
};

QX_BEGIN_LAYOUT_CHECKS
QX_LAYOUT_CHECK(sizeof(SettingsNode) == 12);
QX_LAYOUT_CHECK(offsetof(SettingsNode, value) == 4);
QX_LAYOUT_CHECK(offsetof(SettingsNode, next) == 8);
QX_END_LAYOUT_CHECKS

} // namespace qx
