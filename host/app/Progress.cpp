#include "app/Progress.h"

#include <algorithm>
#include <iostream>

#include <unistd.h>

namespace qxhost::app {

Progress::Progress(std::ostream& err, std::int64_t total)
    : err_(err), total_(total), enabled_(&err == &std::cerr && isatty(STDERR_FILENO) != 0) {}

Progress::~Progress() { finish(); }

void Progress::frameDone() {
    ++done_;
    if (!enabled_ || total_ <= 0) {
        return;
    }
    // Redrawing only when the percentage moves keeps the terminal from being the bottleneck.
    const std::int64_t percent = std::min<std::int64_t>(100, done_ * 100 / total_);
    if (percent != shownPercent_) {
        shownPercent_ = percent;
        err_ << "\rframe " << done_ << " of " << total_ << " (" << percent << "%)" << std::flush;
    }
}

void Progress::finish() {
    if (enabled_ && shownPercent_ >= 0) {
        err_ << "\r\033[K" << std::flush;
        shownPercent_ = -1;
    }
}

} // namespace qxhost::app
