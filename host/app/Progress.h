// "frame N of M" on one rewritten line of standard error, only when that is a terminal.
#pragma once

#include <cstdint>
#include <iosfwd>

namespace qxhost::app {

class Progress {
public:
    // Shows nothing unless err is standard error and standard error is a terminal.
    Progress(std::ostream& err, std::int64_t total);
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;
    ~Progress();

    void frameDone();
    void finish();

private:
    std::ostream& err_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    std::int64_t shownPercent_ = -1;
    bool enabled_;
};

} // namespace qxhost::app
