#include "media/ChatterToLog.h"

#include <unistd.h>

#include <iostream>
#include <string>

namespace qxhost {

ChatterToLog::ChatterToLog(Host& host) : host_(host) {
    kept_ = std::tmpfile();
    if (kept_ == nullptr) {
        return;
    }
    std::cerr.flush();
    std::fflush(stderr);
    saved_ = dup(2);
    if (saved_ < 0 || dup2(fileno(kept_), 2) < 0) {
        if (saved_ >= 0) {
            close(saved_);
            saved_ = -1;
        }
        std::fclose(kept_);
        kept_ = nullptr;
    }
}

ChatterToLog::~ChatterToLog() {
    if (kept_ == nullptr) {
        return;
    }
    std::cerr.flush();
    std::fflush(stderr);
    dup2(saved_, 2);
    close(saved_);
    std::rewind(kept_);
    std::string line;
    for (int c = std::fgetc(kept_);; c = std::fgetc(kept_)) {
        if (c == EOF || c == '\n') {
            if (!line.empty()) {
                host_.log().write(qx::kLogTrace, line);
            }
            line.clear();
            if (c == EOF) {
                break;
            }
        } else {
            line += static_cast<char>(c);
        }
    }
    std::fclose(kept_);
}

} // namespace qxhost
