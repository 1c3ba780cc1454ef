// The module's exported entry points. Everything else in the library is hidden.
#pragma once

#include "qx/scene.h"

#if defined(_WIN32)
#define QX_EXPORT __declspec(dllexport)
#else
#define QX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
QX_EXPORT qx::InterfaceTable* init(qx::HostObject* host, const char* const* arguments);
QX_EXPORT void release();
QX_EXPORT const qx::DependencyBlock* dependencies();
}
