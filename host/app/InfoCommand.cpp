// qxhost info MODULE: what a module asks for and what it publishes, from load to release.
#include <ostream>
#include <set>

#include "app/Command.h"
#include "runtime/Host.h"
#include "runtime/ModuleLoader.h"

namespace qxhost::app {

namespace {

void printEntries(std::ostream& out, const std::vector<const qx::RegistryEntry*>& entries) {
    for (const qx::RegistryEntry* entry : entries) {
        out << "  object \"" << entry->objectName << "\", interface \""
            << (entry->interfaceName != nullptr ? entry->interfaceName : "") << "\"\n";
    }
}

// Entries that were not in the registry before the module was initialised.
std::vector<const qx::RegistryEntry*> madeSince(const Host& host,
                                                const std::set<const qx::RegistryEntry*>& before) {
    std::vector<const qx::RegistryEntry*> made;
    for (const qx::RegistryEntry* entry : host.entries()) {
        if (before.count(entry) == 0) {
            made.push_back(entry);
        }
    }
    return made;
}

} // namespace

int runInfo(const Arguments& arguments, std::ostream& out, std::ostream& err) {
    if (arguments.size() != 1) {
        return usageError(err, arguments.empty() ? "info: missing MODULE argument"
                                                 : "info: expected one MODULE argument");
    }
    const std::string& path = arguments.front();

    // The host is made first so that it outlives the module, which is released into it.
    Host host;
    ModuleLoader module;
    if (!module.open(path)) {
        return failure(err, module.error());
    }
    out << "Module: " << path << "\n";

    const std::vector<std::string> dependencies = module.dependencies();
    out << "Dependencies:";
    if (dependencies.empty()) {
        out << " none";
    }
    for (const std::string& name : dependencies) {
        out << " " << name;
    }
    out << "\n";

    const auto existing = host.entries();
    const std::set<const qx::RegistryEntry*> before(existing.begin(), existing.end());
    qx::InterfaceTable* factory = module.init(host, {nullptr, nullptr, nullptr, nullptr});
    if (factory == nullptr) {
        return failure(err, module.error());
    }
    const auto made = madeSince(host, before);
    out << "init (four null argument strings): " << made.size() << " registry "
        << (made.size() == 1 ? "entry" : "entries") << "\n";
    printEntries(out, made);
    for (const LogLine& line : host.log().lines()) {
        out << "  log [" << line.level << "] " << line.message
            << (line.message.empty() || line.message.back() != '\n' ? "\n" : "");
    }

    module.release();
    const auto left = madeSince(host, before);
    out << "release: " << (left.empty() ? "no registry entries remain" : "entries remain") << "\n";
    if (!left.empty()) {
        printEntries(out, left);
        return failure(err, "module " + path + " left " + std::to_string(left.size()) +
                                " registry entries after release");
    }
    return kExitOk;
}

} // namespace qxhost::app
