// A stand-in scene module for the loader's tests, built in three variants:
// QX_FIXTURE_NO_RELEASE lacks the release export, QX_FIXTURE_NULL_INIT answers null from
// init, and the plain build is complete. It reports to the host through its log.
#include <cstdint>

#include "qx/scene.h"

#if defined(_WIN32)
// Without any dllexport the linker exports everything but DllMain; name the four instead.
#define FIXTURE_EXPORT extern "C" __declspec(dllexport)
#else
#define FIXTURE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {
qx::HostObject* boundHost = nullptr;
[[maybe_unused]] int tableStandIn = 0; // the loader hands the table on without looking inside

const char* shown(const char* s) { return s != nullptr ? s : "(null)"; }

// Two names: a list longer than the contract's record declares, read up to its null.
struct Dependencies {
    std::uint32_t zero;
    const char* names[3];
};
const Dependencies kDependencies = {0, {"alpha", "beta", nullptr}};
} // namespace

FIXTURE_EXPORT int DllMain(void*, std::uint32_t, void*) { return 1; }

FIXTURE_EXPORT const qx::DependencyBlock* dependencies() {
    return reinterpret_cast<const qx::DependencyBlock*>(&kDependencies);
}

FIXTURE_EXPORT qx::InterfaceTable* init(qx::HostObject* host, const char* const* arguments) {
    boundHost = host;
    host->log(1, "init %s,%s,%s,%s", shown(arguments[0]), shown(arguments[1]), shown(arguments[2]),
              shown(arguments[3]));
#if defined(QX_FIXTURE_NULL_INIT)
    return nullptr;
#else
    return reinterpret_cast<qx::InterfaceTable*>(&tableStandIn);
#endif
}

#if !defined(QX_FIXTURE_NO_RELEASE)
FIXTURE_EXPORT void release() {
    if (boundHost != nullptr) {
        boundHost->log(1, "release");
    }
}
#endif
