#include "runtime/ModuleLoader.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "runtime/ModuleFile.h"

namespace qxhost {

namespace {

// A module that forgets its terminator must not send the host reading forever.
constexpr int kMaxDependencies = 64;

// Loader messages may span lines; the host reports each failure on one.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

#if defined(_WIN32)

void* openLibrary(const std::string& path, std::string& reason) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        char text[512] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       GetLastError(), 0, text, sizeof text, nullptr);
        reason = text;
    }
    return reinterpret_cast<void*>(module);
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }

#else

void* openLibrary(const std::string& path, std::string& reason) {
    // A bare file name would be looked up on the library path instead of in the folder.
    const std::string local = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        reason = text != nullptr ? text : "unknown loader error";
        // The loader repeats the path in front of its reason; the caller names it already.
        const std::string prefix = local + ": ";
        if (reason.compare(0, prefix.size(), prefix) == 0) {
            reason.erase(0, prefix.size());
        }
    }
    return handle;
}

void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }

void closeLibrary(void* handle) { dlclose(handle); }

#endif

template <class Function> Function asFunction(void* symbol) {
    return reinterpret_cast<Function>(symbol);
}

} // namespace

ModuleLoader::~ModuleLoader() { close(); }

bool ModuleLoader::fail(const std::string& reason) {
    error_ = oneLine("cannot load module " + path_ + ": " + reason);
    return false;
}

bool ModuleLoader::open(const std::string& path) {
    close();
    path_ = path;
    error_.clear();

    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        return fail("no such file");
    }
    if (std::filesystem::is_directory(status)) {
        return fail("is a directory, not a module file");
    }
    if (const std::string problem = moduleFileProblem(path); !problem.empty()) {
        return fail(problem);
    }

    std::string reason;
    void* handle = openLibrary(path, reason);
    if (handle == nullptr) {
        return fail("not a loadable module (" + reason + ")");
    }

    void* symbols[4] = {};
    const char* const names[4] = {"init", "release", "dependencies", "DllMain"};
    for (int i = 0; i < 4; ++i) {
        symbols[i] = findSymbol(handle, names[i]);
        if (symbols[i] == nullptr) {
            closeLibrary(handle);
            return fail(std::string("not a scene module: export \"") + names[i] + "\" is missing");
        }
    }
    handle_ = handle;
    init_ = asFunction<qx::InitFunction>(symbols[0]);
    release_ = asFunction<qx::ReleaseFunction>(symbols[1]);
    dependencies_ = asFunction<qx::DependenciesFunction>(symbols[2]);
    return true;
}

const qx::DependencyBlock* ModuleLoader::dependencyBlock() const {
    return dependencies_ != nullptr ? dependencies_() : nullptr;
}

std::vector<std::string> ModuleLoader::dependencies() const {
    std::vector<std::string> names;
    const qx::DependencyBlock* block = dependencyBlock();
    if (block == nullptr) {
        return names;
    }
    // The names run on past the record's two declared slots until the null terminator.
    const char* const* name = block->names;
    for (int i = 0; i < kMaxDependencies && name[i] != nullptr; ++i) {
        names.emplace_back(name[i]);
    }
    return names;
}

qx::InterfaceTable* ModuleLoader::init(qx::HostObject& host,
                                       const std::array<const char*, 4>& arguments) {
    error_.clear();
    if (init_ == nullptr) {
        error_ = "cannot initialise module " + path_ + ": it is not loaded";
        return nullptr;
    }
    qx::InterfaceTable* table = init_(&host, arguments.data());
    if (table == nullptr) {
        error_ = "module " + path_ + ": init returned null";
        return nullptr;
    }
    factory_ = table;
    return table;
}

void ModuleLoader::release() {
    if (factory_ != nullptr && release_ != nullptr) {
        release_();
    }
    factory_ = nullptr;
}

void ModuleLoader::close() {
    release();
    if (handle_ != nullptr) {
        closeLibrary(handle_);
    }
    handle_ = nullptr;
    init_ = nullptr;
    release_ = nullptr;
    dependencies_ = nullptr;
}

} // namespace qxhost
