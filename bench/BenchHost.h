// One reference host for the whole run (a process has one host): the real bitmap factory
// and the real 640 x 480 surface, with the benchmark pictures in an in-memory archive.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "Pictures.h"
#include "media/Media.h"
#include "qx/canvas.h"
#include "runtime/Host.h"
#include "support/MemoryArchive.h"

namespace qxbench {

class BenchHost {
public:
    static BenchHost& get();

    qxhost::Host host;
    qxhost::Media media{host};
    qxtest::MemoryArchive archive;
    qx::Canvas canvas;

    // The picture entry of that name, added to the archive on first use, `bits` wide per
    // pixel in the named format.
    qx::ResourceEntry* entry(const std::string& name, const Picture& picture, int bits,
                             const char* format);
    // Puts the busy background back on the screen.
    void resetScreen();

private:
    BenchHost();
    std::map<std::string, qx::ResourceEntry*> entries_;
};

} // namespace qxbench
