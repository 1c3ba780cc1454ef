#include "module/PluginModule.h"

#include "core/Memory.h"

namespace qx {

PluginArguments::~PluginArguments() {
    for (char*& s : strings) {
        releaseBlock(s);
        s = nullptr;
    }
}

bool PluginModule::copyArguments(const char* const* source) {
    auto* record = new (fallible) PluginArguments;
    if (record == nullptr) {
        return false;
    }
    for (int i = 0; source != nullptr && i < 4; ++i) {
        record->strings[i] = copyString(source[i]);
        if (record->strings[i] == nullptr && source[i] != nullptr) {
            delete record;
            return false;
        }
    }
    delete arguments;
    arguments = record;
    return true;
}

} // namespace qx
