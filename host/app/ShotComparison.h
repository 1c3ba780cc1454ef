// qxhost run --compare REFDIR: each shot against the picture of the same name in an earlier
// run's output, and gamestate.json against its gamestate.json. A shot that differs gets
// NAME-diff.png: the differing pixels in red over a dimmed grey copy, their box in yellow.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace qxhost::app {

struct ShotComparison {
    enum class Outcome { Identical, Differs, Missing, Unreadable };
    std::string name;
    Outcome outcome = Outcome::Identical;
    std::int64_t pixels = 0;                               // differing pixels
    std::int32_t left = 0, top = 0, right = 0, bottom = 0; // their box, right and bottom excluded
    std::string detail;                                    // why the reference could not be used
    std::string diffFile;                                  // NAME-diff.png when written
};

class RunComparison {
public:
    // reference: the earlier run's folder; out: where NAME-diff.png files go.
    RunComparison(std::filesystem::path reference, std::filesystem::path out);

    // A shot of this run: 640 x 480 8-bit R, G, B rows.
    const ShotComparison& compareShot(const std::string& name,
                                      const std::vector<std::uint8_t>& rgb);
    // After the run: the reference's shots this run did not take, and the game state.
    void finish(const std::string& gameStateJson);

    // "NAME: identical", "NAME: 12 pixels differ within 3 x 4 at (100, 200), see ..." and so
    // on, one line per shot and one or more for gamestate.json.
    const std::vector<std::string>& lines() const { return lines_; }
    const std::vector<ShotComparison>& shots() const { return shots_; }
    bool anyDifference() const { return differences_ > 0; }
    std::int32_t differences() const { return differences_; }

private:
    std::filesystem::path reference_;
    std::filesystem::path out_;
    std::vector<ShotComparison> shots_;
    std::vector<std::string> lines_;
    std::int32_t differences_ = 0;
};

// The shot names of a run's output folder: its PNG files but the contact sheet and diffs.
std::set<std::string> shotNamesIn(const std::filesystem::path& folder);

} // namespace qxhost::app
