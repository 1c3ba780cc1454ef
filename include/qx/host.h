// The host object: the engine's services as a scene module sees them.
//
// The host hands its host object to a module's init and keeps it alive for as long as
// the module is loaded. The module calls these operations only on the host's thread, from
// within the host's own calls into it (init, the factory, the scene).
#pragma once

#include "qx/registry.h"
#include "qx/types.h"

namespace qx {

// Maps names (resource types, pixel formats, topic titles) to 32-bit identifiers.
class IAtomTable {
public:
    // Equal names give equal identifiers. The name is borrowed for the call; the table keeps
    // its own copy.
    virtual std::uint32_t identifierOf(const char* name) = 0;
    // The name of an identifier, or null for an unknown one. The string is the table's and
    // stays valid as long as the table: scenes keep topic titles from it for their life.
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
    // Runs one pass of the host's event processing (delivers queued events). Called in a
    // loop while a blocking read waits for an asynchronous reader; the events it delivers
    // may call back into the module, scenes included.
    virtual void processEvents() = 0;
    // Asked once, by init. The process-wide interface registry, owned by the host; it must
    // outlive every object of the module, since they remove their entries when destroyed.
    virtual InterfaceRegistry* interfaceRegistry() = 0;
    // Asked once, by init. The atom table, owned by the host, for as long as the module.
    virtual IAtomTable* atomTable() = 0;
    // Asked once, by init: a service pointer that modules keep and do not use.
    virtual void* auxiliaryService() = 0;
    // Asked once, by init. The settings list, owned by the host for as long as the module;
    // the list it points to may change, so the module walks it afresh at each lookup.
    virtual SettingsList* settings() = 0;
    // Any time. That interface of the named object (any object when objectName is null), or
    // null. The pointer designates the object's sub-object for that interface and is valid
    // while the object lives; both names are borrowed for the call.
    virtual void* findInterface(const char* objectName, const char* interfaceName) = 0;
    // Any time. Records a printf-style message at a level (1 trace, 3 failure to obtain
    // something); the format and the values are borrowed for the call.
    virtual void log(std::int32_t level, const char* format, ...) = 0;
    // Any time, several times a frame: the host clock in milliseconds. Animations read it
    // afresh at every evaluation and take only differences of it.
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
