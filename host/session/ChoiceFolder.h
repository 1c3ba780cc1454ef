// A data folder's "choice" resources, found the way the scene finds them: through a resource
// tree with the host's folder, values, picture and sound archives, whose lookups compare names
// without regard to case. The tree has a host of its own, so that looking something up logs
// nothing into a running scene's log. That host is bound to the support library only while
// the folder works (the tree finds its archive factories through the bound host); whichever
// host was bound before is bound again afterwards.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archives/ResourceRoot.h"
#include "qx/resources.h"
#include "runtime/Host.h"
#include "services/HostServices.h"

namespace qxhost {

class ChoiceFolder {
public:
    explicit ChoiceFolder(const std::string& dataPath);
    ChoiceFolder(const ChoiceFolder&) = delete;
    ChoiceFolder& operator=(const ChoiceFolder&) = delete;
    ~ChoiceFolder();

    // The "choice" directory, or null when the data folder has none.
    qx::ResourceDirectory* choice() const { return choice_; }

    // An entry of the folder as its archive lists it: regular files and folders, hidden
    // ones left out, in name order without regard to case.
    struct Entry {
        std::string name;
        std::string path; // on disk
        std::string type; // "archive/pngfile", "archive/values", "archive/folder", "file", ...
    };
    std::vector<Entry> entries() const;
    // The first entry the scene's lookup of fileName meets, or null.
    const qx::ResourceEntry* entryNamed(const char* fileName) const;

    // A picture as the scene gets it from "FILE/image".
    struct Picture {
        enum class Status { Found, Missing, Folder, Undecodable } status = Status::Missing;
        std::string path; // of the entry found, on disk
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t bitsPerPixel = 0;
        std::int32_t frames = 1;
    };
    Picture picture(const char* fileName);

    // Runs work (a lookup in choice(), such as reading its values) with the folder's host bound.
    template <class Work> auto withHost(Work work) {
        const Bound bound(host_.get());
        return work();
    }

private:
    // Binds a host for its own life, then binds again the one bound before.
    class Bound {
    public:
        explicit Bound(qx::HostObject* host) : previous_(qx::moduleState().host) {
            qx::bindHost(host);
        }
        Bound(const Bound&) = delete;
        Bound& operator=(const Bound&) = delete;
        ~Bound() { qx::bindHost(previous_); }

    private:
        qx::HostObject* previous_;
    };

    std::unique_ptr<Host> host_;
    std::unique_ptr<ResourceRoot> root_;
    qx::ResourceDirectory* choice_ = nullptr;
};

} // namespace qxhost
