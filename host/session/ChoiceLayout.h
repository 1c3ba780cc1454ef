// The layout values of a data folder as the scene reads them, through the scene's own reader
// (qx::ChoiceValues, in the support library): which doors it makes and sets up, where, which
// game-state word each door's topic goes to, and what in those values a content author
// should hear about.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "qx/resources.h"
#include "resource/ChoiceValues.h"

namespace qxhost {

inline constexpr int kMapEntries = qx::kMappedDoors;
// Words in the reference host's game-state record; door n writes word 12 + its map entry.
inline constexpr int kGameStateWords = 64;

struct ChoiceLayout {
    // Door numbers (from 1) the scene sets up, in number order.
    std::vector<int> doors;
    // Every door as the set-up meets it; the last one ends the walk (it has no text centre).
    std::vector<qx::DoorValues> walk;
    // Map entry of doors 1 to 9 as the scene holds it after set-up; the topic goes to word
    // 12 + entry. "portemap" as it was read.
    std::array<int, kMapEntries> doorMap{1, 2, 3, 4, 5, 6, 7, 8, 9};
    qx::DoorMapValue portemap;
    qx::ValueText showFrames;
    // One line each, "NAME: what is wrong" (NAME a value, or a line of values.txt).
    std::vector<std::string> problems;
    bool valuesFound = false;
    // The values files of the folder, found as the folder archive lists them (any case of
    // "values.txt"), in the order the scene searches them.
    std::vector<std::string> valuesPaths;

    // The doors whose topic the scene writes on play: every door it makes up to the ninth,
    // set up or not.
    std::vector<int> writingDoors() const;
};

// Reads the "choice" folder below a resource root as the scene does. Call it once the root
// opens pictures as the scene's would: a missing value is searched for in every archive of
// the folder, and those directories stay in the tree.
ChoiceLayout readChoiceLayout(qx::ResourceDirectory* root);
// The same for DATA, through a host and resource root of its own, with the problems of the
// values file itself too: over the size the host reads, malformed lines, values longer than
// the scene reads, names given twice.
ChoiceLayout readChoiceLayout(const std::string& dataPath);

// Game-state word that door number n (1 to 9) writes.
int doorWord(const ChoiceLayout& layout, int door);

// The first door that would write outside a record of recordWords words, as the problem
// line that names its map entry; "" when every door writes inside.
std::string recordProblem(const ChoiceLayout& layout, int recordWords = kGameStateWords);

} // namespace qxhost
