// report.html, written by every "qxhost run" into its output folder: the animation (when
// made), the shots with their names, the game-state table and the log, in one page that a
// browser opens straight from the folder. It names files beside it and needs no script.
#pragma once

#include <string>
#include <vector>

#include "app/GameStateReport.h"
#include "app/ShotComparison.h"

namespace qxhost::app {

struct RunReport {
    std::string data;
    std::string script;
    RunSummary summary;
    std::vector<DoorTopic> doors;
    std::vector<std::string> shots; // names, in the order taken
    std::string animation;          // its address relative to the page, or ""
    std::string compareFolder;      // "" without --compare
    std::vector<std::string> compareLines;
    std::vector<ShotComparison> comparisons;
    std::string log; // as in log.txt
};

std::string reportHtml(const RunReport& report);

// A path as a relative URL: each byte outside the unreserved set percent-encoded, '/' kept.
std::string urlPath(const std::string& path);

} // namespace qxhost::app
