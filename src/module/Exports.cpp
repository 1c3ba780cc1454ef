#include "module/Exports.h"

#include "core/Memory.h"
#include "module/QXChoiceFactory.h"
#include "services/HostServices.h"

namespace qx {
namespace {

QXChoiceFactory*& factory() {
    static QXChoiceFactory* instance = nullptr;
    return instance;
}

// The contract wants a start-up hook between binding and making the factory, and a failing
// one to make init answer null; this module needs no work there.
bool startUp(void* /*instance*/) { return true; }

const char kPngFile[] = "pngfile";
const DependencyBlock kDependencies = {0, {kPngFile, nullptr}};

} // namespace
} // namespace qx

extern "C" {

qx::InterfaceTable* init(qx::HostObject* host, const char* const* arguments) {
    qx::bindHost(host);
    if (!qx::startUp(qx::moduleState().instance)) {
        return nullptr;
    }
    auto* made = new (qx::fallible) qx::QXChoiceFactory;
    if (made == nullptr) {
        return nullptr;
    }
    if (made->table.count() == 0 || !made->copyArguments(arguments)) {
        delete made;
        return nullptr;
    }
    delete qx::factory();
    qx::factory() = made;
    return &made->table;
}

void release() {
    delete qx::factory();
    qx::factory() = nullptr;
}

const qx::DependencyBlock* dependencies() { return &qx::kDependencies; }
}
