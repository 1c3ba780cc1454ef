// archives/: the resource tree's root and the archives over files on disk: folders, text
// values (values.txt), the readers they lend, and whole files read within the host's
// limits. The PNG and WAV archives decode, so they are media/'s. Includes runtime/ and the
// contract.
//
// Base classes for the host's archive factories and the archives they hand out.
#pragma once

#include <memory>
#include <vector>

#include "qx/resources.h"
#include "runtime/Host.h"

namespace qxhost {

// An archive as a factory hands it out; the derived class publishes "IArchive" in table().
class ArchiveObject {
public:
    ArchiveObject() = default;
    ArchiveObject(const ArchiveObject&) = delete;
    ArchiveObject& operator=(const ArchiveObject&) = delete;
    virtual ~ArchiveObject() = default;

    qx::InterfaceTable* table() { return &table_; }

protected:
    qx::InterfaceTable table_;
};

// Publishes "IArchiveFactory" under its object name and owns every archive it creates:
// the contract has no operation to give an archive back, so archives live until the
// factory goes, after the resource tree that used them has been freed.
class ArchiveFactory : public qx::IArchiveFactory {
public:
    ArchiveFactory(Host& host, const char* objectName);
    ArchiveFactory(const ArchiveFactory&) = delete;
    ArchiveFactory& operator=(const ArchiveFactory&) = delete;
    virtual ~ArchiveFactory() = default;

    qx::InterfaceTable* table() { return &table_; }

protected:
    Host& host() { return host_; }
    // Keeps the archive for the factory's life; answers its table for create to return.
    qx::InterfaceTable* keep(std::unique_ptr<ArchiveObject> archive);

private:
    Host& host_;
    qx::InterfaceTable table_;
    std::vector<std::unique_ptr<ArchiveObject>> archives_;
};

} // namespace qxhost
