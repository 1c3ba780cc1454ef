#include "session/ChoiceLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include "archives/ArchiveTypes.h"
#include "archives/HostFile.h"
#include "archives/ValuesArchive.h"
#include "qx/scene.h"
#include "session/ChoiceFolder.h"

namespace qxhost {

namespace {

std::string nameOf(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%2.2i", prefix, n);
    return name;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

void checkPosition(const std::string& name, const qx::PositionValue& value,
                   std::vector<std::string>& problems) {
    if (value.found && !value.isPlain()) {
        problems.push_back(name + ": " + quoted(value.text) +
                           " is not a position \"x,y\" (read as " + std::to_string(value.point.x) +
                           "," + std::to_string(value.point.y) + ")");
    }
}

void checkDoors(ChoiceLayout& layout) {
    for (const qx::DoorValues& door : layout.walk) {
        const int n = door.number;
        const std::string porte = nameOf("porte", n);
        const std::string centre = nameOf("textcenter", n);
        checkPosition(porte, door.position, layout.problems);
        checkPosition(centre, door.textCentre, layout.problems);
        if (!door.textCentre.found) {
            if (door.position.found) {
                layout.problems.push_back(porte + ": has no " + centre + ", so door " +
                                          std::to_string(n) +
                                          " and every later door are not set up");
            }
        } else if (!door.position.found) {
            layout.problems.push_back(centre + ": has no " + porte + ", so door " +
                                      std::to_string(n) + " is skipped");
        } else if (n > qx::kDoorSlots) {
            layout.problems.push_back(porte + ": the screen holds at most " +
                                      std::to_string(qx::kDoorSlots) + " doors; door " +
                                      std::to_string(n) + " is not set up");
        } else if (n > kMapEntries) {
            layout.problems.push_back(porte + ": door " + std::to_string(n) +
                                      " has no portemap entry, so its topic is never written");
        }
    }
    const qx::ValueText& frames = layout.showFrames;
    if (frames.found && std::strcmp(frames.text, "0") != 0 && std::strcmp(frames.text, "1") != 0) {
        layout.problems.push_back("showframes: " + quoted(frames.text) +
                                  " is neither 0 nor 1 (read as 0)");
    }
}

// The line that names a door writing outside a record of recordWords words; "" when it
// writes inside.
std::string outsideLine(const ChoiceLayout& layout, int door, int recordWords) {
    const int word = doorWord(layout, door);
    if (word >= 0 && word < recordWords) {
        return "";
    }
    return "portemap: entry " + std::to_string(door) + " is " +
           std::to_string(layout.doorMap[static_cast<std::size_t>(door - 1)]) + ", so door " +
           std::to_string(door) + " would write word " + std::to_string(word) +
           ", outside the game-state record (words 0 to " + std::to_string(recordWords - 1) + ")";
}

void checkDoorMap(ChoiceLayout& layout) {
    const std::vector<int> writing = layout.writingDoors();
    const qx::DoorMapValue& map = layout.portemap;
    for (int i = 0; i < map.fieldCount; ++i) {
        const qx::DoorMapField& field = map.fields[i];
        const char* start = map.text + field.offset;
        const std::string entry = "portemap: entry " + std::to_string(i + 1);
        if (!qx::isPlainNumber(start, start + field.length)) {
            layout.problems.push_back(entry + " " + quoted(std::string(start, field.length)) +
                                      " is not a number (read as " + std::to_string(field.value) +
                                      ")");
        } else if (std::find(writing.begin(), writing.end(), i + 1) != writing.end() &&
                   !outsideLine(layout, i + 1, kGameStateWords).empty()) {
            layout.problems.push_back(outsideLine(layout, i + 1, kGameStateWords));
        } else if (field.value < 1 || field.value > kMapEntries) {
            layout.problems.push_back(entry + " is " + std::to_string(field.value) +
                                      ", not a door number from 1 to " +
                                      std::to_string(kMapEntries));
        }
    }
    if (map.more) {
        layout.problems.push_back("portemap: more than " + std::to_string(kMapEntries) +
                                  " entries, the rest is not read");
    }
    // Entries not given keep their defaults, so a clash may involve those too.
    std::map<int, int> firstDoorOfWord;
    for (int door : writing) {
        const int word = doorWord(layout, door);
        if (auto [it, fresh] = firstDoorOfWord.emplace(word, door); !fresh) {
            layout.problems.push_back("portemap: doors " + std::to_string(it->second) + " and " +
                                      std::to_string(door) + " both write word " +
                                      std::to_string(word) + ", which keeps door " +
                                      std::to_string(door) + "'s topic");
        }
    }
}

} // namespace

std::vector<int> ChoiceLayout::writingDoors() const {
    std::vector<int> numbers;
    for (const qx::DoorValues& door : walk) {
        if (door.mapped()) {
            numbers.push_back(door.number);
        }
    }
    return numbers;
}

namespace {

ChoiceLayout layoutOf(qx::ResourceDirectory* choice) {
    ChoiceLayout layout;
    const qx::ChoiceValues values(choice);
    layout.showFrames = values.read("showframes");
    values.forEachDoor([&layout](const qx::DoorValues& door) {
        layout.walk.push_back(door);
        if (door.setUp()) {
            layout.doors.push_back(door.number);
        }
    });
    std::int32_t map[kMapEntries] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    layout.portemap = values.doorMap(map);
    std::copy(map, map + kMapEntries, layout.doorMap.begin());
    checkDoors(layout);
    checkDoorMap(layout);
    return layout;
}

std::string folded(const std::string& name) {
    std::string result = name;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

// What the scene makes of the values file's own text: lines it cannot read, values longer
// than it reads, and names given twice (a lookup finds the first, whatever the case).
std::vector<std::string> fileProblems(const std::string& text) {
    const ParsedValues parsed = parseValues(text);
    std::vector<std::string> problems;
    for (int line : parsed.malformedLines) {
        problems.push_back(std::to_string(line) + ": malformed, expected name = value");
    }
    std::map<std::string, int> firstLine;
    for (const TextValue& value : parsed.values) {
        if (value.value.size() > static_cast<std::size_t>(qx::kValueLength)) {
            problems.push_back(value.name + ": longer than " + std::to_string(qx::kValueLength) +
                               " characters, the rest is not read");
        }
        if (auto [it, fresh] = firstLine.emplace(folded(value.name), value.line); !fresh) {
            problems.push_back(std::to_string(value.line) + ": " + value.name +
                               " is given again (first on line " + std::to_string(it->second) +
                               "); the scene reads the first");
        }
    }
    return problems;
}

} // namespace

ChoiceLayout readChoiceLayout(qx::ResourceDirectory* root) {
    qx::ResourceEntry* entry = root != nullptr ? root->find("choice") : nullptr;
    return layoutOf(entry != nullptr ? root->openDirectory(entry) : nullptr);
}

ChoiceLayout readChoiceLayout(const std::string& dataPath) {
    ChoiceLayout layout;
    std::string text;
    std::string problem;
    {
        ChoiceFolder folder(dataPath);
        layout = folder.withHost([&folder] { return layoutOf(folder.choice()); });
        for (const ChoiceFolder::Entry& entry : folder.entries()) {
            if (entry.type == kValuesType) {
                layout.valuesPaths.push_back(entry.path);
            }
        }
    }
    layout.valuesFound = !layout.valuesPaths.empty();
    if (!layout.valuesFound) {
        return layout;
    }
    std::vector<std::string> problems;
    if (readHostFile(layout.valuesPaths.front(), kLargestValuesFile, text, problem)) {
        problems = fileProblems(text);
    } else {
        problems.push_back(problem +
                           ": the scene gets none of its values (no door, the default door map)");
    }
    layout.problems.insert(layout.problems.begin(), problems.begin(), problems.end());
    return layout;
}

int doorWord(const ChoiceLayout& layout, int door) {
    return qx::kFirstDoorWord + layout.doorMap[static_cast<std::size_t>(door - 1)];
}

std::string recordProblem(const ChoiceLayout& layout, int recordWords) {
    for (int door : layout.writingDoors()) {
        if (std::string line = outsideLine(layout, door, recordWords); !line.empty()) {
            return line;
        }
    }
    return "";
}

} // namespace qxhost
