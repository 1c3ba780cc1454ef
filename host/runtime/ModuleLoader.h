// Opens a scene module (.kpx) and reaches it only through its four exports: init,
// release, dependencies and DllMain. Every failure is one line that names the file.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "qx/scene.h"

namespace qxhost {

class ModuleLoader {
public:
    ModuleLoader() = default;
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;
    // Releases the module if init succeeded and release was not called, then unloads it.
    // The host object given to init must still exist at that point.
    ~ModuleLoader();

    // Loads the file and resolves the four exports. On failure answers false, loads
    // nothing and leaves the reason in error().
    bool open(const std::string& path);
    const std::string& path() const { return path_; }
    const std::string& error() const { return error_; }

    // The module's constant dependency block, as it returns it (may be called before init).
    const qx::DependencyBlock* dependencyBlock() const;
    // The module names listed in the dependency block, in order.
    std::vector<std::string> dependencies() const;

    // Calls init with the host object and four argument strings (null where absent).
    // Answers the factory's table, or null with the reason in error().
    qx::InterfaceTable* init(qx::HostObject& host,
                             const std::array<const char*, 4>& arguments = {});
    // Calls release once after a successful init; otherwise does nothing.
    void release();
    bool isInitialised() const { return factory_ != nullptr; }
    qx::InterfaceTable* factoryTable() const { return factory_; }

    // Releases if needed and unloads the library.
    void close();

private:
    bool fail(const std::string& reason);

    std::string path_;
    std::string error_;
    void* handle_ = nullptr;
    qx::InitFunction init_ = nullptr;
    qx::ReleaseFunction release_ = nullptr;
    qx::DependenciesFunction dependencies_ = nullptr;
    qx::InterfaceTable* factory_ = nullptr;
};

} // namespace qxhost
