#include "module/PluginModule.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace qx {

namespace {
// strdup is POSIX, not standard C++; the Windows build compiles in strict mode.
char* copyString(const char* source) {
    const std::size_t length = std::strlen(source) + 1;
    auto* copy = static_cast<char*>(std::malloc(length));
    if (copy != nullptr) {
        std::memcpy(copy, source, length);
    }
    return copy;
}
} // namespace

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
            record->strings[i] = copyString(source[i]);
        }
    }
    delete arguments;
    arguments = record;
    return true;
}

} // namespace qx
