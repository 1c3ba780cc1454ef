#include "module/PluginModule.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qx {

PluginArguments::~PluginArguments() {
    for (char*& s : strings) {
        std::free(s);
        s = nullptr;
    }
}

bool PluginModule::copyArguments(const char* const* source) {
    auto* record = new (std::nothrow) PluginArguments;
    if (record == nullptr) {
        return false;
    }
    for (int i = 0; source != nullptr && i < 4; ++i) {
        if (source[i] != nullptr) {
            record->strings[i] = strdup(source[i]);
        }
    }
    delete arguments;
    arguments = record;
    return true;
}

} // namespace qx
