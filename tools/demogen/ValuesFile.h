// The text values of the choice folder ("name = value" lines) and the check that the
// hand-written layout fits the generated pictures.
#pragma once

#include <istream>
#include <map>
#include <string>
#include <vector>

namespace demogen {

struct ValuesFile {
    std::map<std::string, std::string> values;
    std::vector<std::string> errors; // "FILE:LINE: what is wrong"
};

ValuesFile parseValues(std::istream& in, const std::string& fileName);
ValuesFile loadValuesFile(const std::string& path);

struct DoorPlacement {
    int number;
    int x, y;         // top-left corner of the door picture
    int textX, textY; // centre of a held topic's text
};

// The scene reads at most this many characters of a value.
inline constexpr std::size_t kMaxValueLength = 31;

// Checks DATA/choice/values.txt against the demo's pictures and the scene's controls: nine
// doors, each on screen between the play button row and the topic bar, clear of the round
// and play buttons and of the other doors of its round. Positions, "showframes" and
// "portemap" are read by the scene's own reader. Returns one line per problem; fills `doors`
// with the placements it could read.
std::vector<std::string> checkLayout(const std::string& dataFolder,
                                     std::vector<DoorPlacement>* doors = nullptr);

} // namespace demogen
