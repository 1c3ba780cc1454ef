#include <cstdarg>
#include <cstdio>

#include "MinimalHost.h"

namespace minimal {

// The host lives as long as the process: the directories the module opens stay in the
// registry until the end.
Host& host() {
    static Host instance;
    return instance;
}

// The registry is searched in place: the module's entries and the host's own are one list.
void* Host::findInterface(const char* objectName, const char* interfaceName) {
    for (const qx::RegistryEntry* entry = registry_.head; entry != nullptr; entry = entry->next) {
        if (entry->pointer != nullptr && qx::namesEqual(entry->interfaceName, interfaceName) &&
            (objectName == nullptr || qx::namesEqual(entry->objectName, objectName))) {
            return entry->pointer;
        }
    }
    return nullptr;
}

// Messages come with their own line ends. Level 3 says something could not be obtained.
void Host::log(std::int32_t level, const char* format, ...) {
    std::fprintf(stderr, "[%d] ", static_cast<int>(level));
    va_list values;
    va_start(values, format);
    std::vfprintf(stderr, format, values);
    va_end(values);
    failures_ += level >= 3 ? 1 : 0;
}

std::uint32_t Host::identifierOf(const char* name) {
    for (std::size_t i = 0; i < atoms_.size(); ++i) {
        if (atoms_[i] == name) {
            return static_cast<std::uint32_t>(i + 1);
        }
    }
    atoms_.emplace_back(name);
    return static_cast<std::uint32_t>(atoms_.size());
}

const char* Host::nameOf(std::uint32_t identifier) {
    return identifier >= 1 && identifier <= atoms_.size() ? atoms_[identifier - 1].c_str()
                                                          : nullptr;
}

} // namespace minimal
