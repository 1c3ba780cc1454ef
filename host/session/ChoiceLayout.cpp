#include "session/ChoiceLayout.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "archives/ValuesArchive.h"
#include "qx/scene.h"

namespace qxhost {

namespace {

std::string twoDigits(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%2.2i", prefix, n);
    return name;
}

// A strict decimal integer with optional blanks around it and an optional sign.
bool isInteger(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i != std::string::npos && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t digits = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    return i > digits && text.find_first_not_of(' ', i) == std::string::npos;
}

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, ',')) {
        parts.push_back(part);
    }
    if (text.empty() || text.back() == ',') {
        parts.emplace_back();
    }
    return parts;
}

void checkPosition(const std::string& name, const std::string& value,
                   std::vector<std::string>& problems) {
    const auto parts = splitCommas(value);
    if (parts.size() != 2 || !isInteger(parts[0]) || !isInteger(parts[1])) {
        problems.push_back(name + ": \"" + value + "\" is not a position \"x,y\"");
    }
}

} // namespace

ChoiceLayout readChoiceLayout(const std::string& dataPath) {
    ChoiceLayout layout;
    const std::filesystem::path file = std::filesystem::path(dataPath) / "choice" / "values.txt";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return layout;
    }
    layout.valuesFound = true;
    std::stringstream text;
    text << in.rdbuf();
    const ParsedValues parsed = parseValues(text.str());
    for (int line : parsed.malformedLines) {
        layout.problems.push_back(std::to_string(line) + ": malformed, expected name = value");
    }
    // The scene takes the first value of a name, case-insensitively, and reads 31 characters.
    std::map<std::string, std::string> values;
    for (const TextValue& value : parsed.values) {
        std::string key = value.name;
        for (char& c : key) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (value.value.size() > kValueCharacters) {
            layout.problems.push_back(value.name + ": longer than " +
                                      std::to_string(kValueCharacters) +
                                      " characters, the rest is not read");
        }
        values.emplace(key, value.value.substr(0, kValueCharacters));
    }
    const auto find = [&values](const std::string& name) -> const std::string* {
        auto it = values.find(name);
        return it != values.end() ? &it->second : nullptr;
    };

    // Doors as the scene's loop finds them: a door needs both values, and the loop ends at
    // the first door without a text centre.
    for (int n = 1;; ++n) {
        const std::string porte = twoDigits("porte", n);
        const std::string centre = twoDigits("textcenter", n);
        const std::string* position = find(porte);
        const std::string* textCentre = find(centre);
        if (textCentre == nullptr) {
            if (position != nullptr) {
                layout.problems.push_back(porte + ": has no " + centre + ", so door " +
                                          std::to_string(n) +
                                          " and every later door are not set up");
            }
            break;
        }
        checkPosition(centre, *textCentre, layout.problems);
        if (position == nullptr) {
            layout.problems.push_back(centre + ": has no " + porte + ", so door " +
                                      std::to_string(n) + " is skipped");
            continue;
        }
        checkPosition(porte, *position, layout.problems);
        if (n > 11) {
            layout.problems.push_back(porte + ": the screen holds at most 11 doors");
            break;
        }
        layout.doors.push_back(n);
    }

    if (const std::string* map = find("portemap")) {
        const auto parts = splitCommas(*map);
        for (std::size_t i = 0; i < parts.size() && i < kMapEntries; ++i) {
            // The scene converts like atoi, so anything else still yields a number.
            layout.doorMap[i] = std::atoi(parts[i].c_str());
            const int slot = layout.doorMap[i];
            const int door = static_cast<int>(i) + 1;
            if (!isInteger(parts[i])) {
                layout.problems.push_back("portemap: entry " + std::to_string(door) + " \"" +
                                          parts[i] + "\" is not a number");
            } else if (slot < 1 || slot > kMapEntries) {
                layout.problems.push_back("portemap: entry " + std::to_string(door) + " is " +
                                          std::to_string(slot) + ", expected 1 to " +
                                          std::to_string(kMapEntries));
            }
        }
        if (parts.size() > kMapEntries) {
            layout.problems.push_back("portemap: more than 9 entries, the rest is not read");
        }
        // Entries not given keep their defaults, so a clash may involve those too.
        std::map<int, int> firstDoorOfSlot;
        for (int door : layout.doors) {
            if (door > kMapEntries) {
                continue;
            }
            const int slot = layout.doorMap[static_cast<std::size_t>(door - 1)];
            if (auto [it, fresh] = firstDoorOfSlot.emplace(slot, door); !fresh) {
                layout.problems.push_back("portemap: doors " + std::to_string(it->second) +
                                          " and " + std::to_string(door) + " both go to slot " +
                                          std::to_string(slot));
            }
        }
    }
    return layout;
}

int doorWord(const ChoiceLayout& layout, int door) {
    return qx::kFirstDoorWord + layout.doorMap[static_cast<std::size_t>(door - 1)];
}

} // namespace qxhost
