// module/, the top floor: the four exports, the plugin module and the scene factory, which
// builds the whole scene. Includes choice/ and the floors below, and the contract; no other
// folder of the module includes module/.
//
// The module's exported entry points. Everything else in the library is hidden.
#pragma once

#include "platform/Export.h"
#include "qx/scene.h"

extern "C" {
QX_EXPORT qx::InterfaceTable* init(qx::HostObject* host, const char* const* arguments);
QX_EXPORT void release();
QX_EXPORT const qx::DependencyBlock* dependencies();
}
