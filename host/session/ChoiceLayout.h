// The layout values of a data folder's "choice/values.txt" read the way the scene reads
// them: which doors it sets up, where each door's topic goes in the game-state record, and
// what in those values the scene would silently misread.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace qxhost {

inline constexpr int kMapEntries = 9;
// The scene reads at most this many characters of a text value.
inline constexpr std::size_t kValueCharacters = 31;

struct ChoiceLayout {
    // Door numbers (from 1) the scene sets up, in number order.
    std::vector<int> doors;
    // Result slot of doors 1 to 9; the topic goes to word 12 + slot.
    std::array<int, kMapEntries> doorMap{1, 2, 3, 4, 5, 6, 7, 8, 9};
    // One line each, "NAME: what is wrong", or "LINE: what is wrong" for a malformed line.
    std::vector<std::string> problems;
    bool valuesFound = false;
};

// Reads DATA/choice/values.txt; a missing file gives the defaults and no doors.
ChoiceLayout readChoiceLayout(const std::string& dataPath);

// Game-state word that door number n (1 to 9) writes.
int doorWord(const ChoiceLayout& layout, int door);

} // namespace qxhost
