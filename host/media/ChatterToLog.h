// Libraries under SDL (ALSA, PulseAudio, X11 and the like) print their own diagnostics
// straight to standard error. While a ChatterToLog lives, whatever is written to file
// descriptor 2 is kept aside; when it ends, each line goes to the host's log at trace level,
// so that the terminal shows only what the host itself says.
#pragma once

#include <cstdio>

#include "runtime/Host.h"

namespace qxhost {

class ChatterToLog {
public:
    explicit ChatterToLog(Host& host);
    ChatterToLog(const ChatterToLog&) = delete;
    ChatterToLog& operator=(const ChatterToLog&) = delete;
    ~ChatterToLog();

private:
    Host& host_;
    std::FILE* kept_ = nullptr; // a temporary file: it never fills up as a pipe would
    int saved_ = -1;            // the real standard error
};

} // namespace qxhost
