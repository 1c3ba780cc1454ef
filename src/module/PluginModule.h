#pragma once

#include "qx/registry.h"

namespace qx {

// Private copies of the four argument strings given to init; null where an argument was.
// The contract wants them kept for the module's life, though nothing in it reads them.
struct PluginArguments {
    char* strings[4] = {nullptr, nullptr, nullptr, nullptr};

    PluginArguments() = default;
    PluginArguments(const PluginArguments&) = delete;
    PluginArguments& operator=(const PluginArguments&) = delete;
    ~PluginArguments();
};

// The part every plug-in's factory object shares: its named interface table and the
// copies of its arguments, held for the module's lifetime.
class PluginModule {
public:
    explicit PluginModule(const char* moduleName) : table(moduleName) {}
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;
    ~PluginModule() { delete arguments; }

    // Replaces the record of copies whole; false when it could not be allocated.
    bool copyArguments(const char* const* source);

    InterfaceTable table;
    PluginArguments* arguments = nullptr;
};

} // namespace qx
