#include "demogen/ValuesFile.h"

#include <cstdio>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string_view>

#include "demogen/DemoLayout.h"

namespace demogen {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<int> parseInt(std::string_view s) {
    s = trim(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string numbered(const char* prefix, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", prefix, n);
    return name;
}

} // namespace

ValuesFile parseValues(std::istream& in, const std::string& fileName) {
    ValuesFile file;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string_view text = trim(line);
        if (text.empty() || text.front() == '#')
            continue;
        const std::size_t eq = text.find('=');
        const std::string where = fileName + ":" + std::to_string(number) + ": ";
        if (eq == std::string_view::npos) {
            file.errors.push_back(where + "expected 'name = value'");
            continue;
        }
        const std::string name(trim(text.substr(0, eq)));
        const std::string value(trim(text.substr(eq + 1)));
        if (name.empty())
            file.errors.push_back(where + "empty name");
        else if (value.size() > kMaxValueLength)
            file.errors.push_back(where + "value of \"" + name + "\" is longer than " +
                                  std::to_string(kMaxValueLength) + " characters");
        else if (!file.values.emplace(name, value).second)
            file.errors.push_back(where + "\"" + name + "\" is given twice");
    }
    return file;
}

ValuesFile loadValuesFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ValuesFile file;
        file.errors.push_back(path + ": cannot open the values file");
        return file;
    }
    return parseValues(in, path);
}

std::vector<std::string> checkLayout(const ValuesFile& file, std::vector<DoorPlacement>* doors) {
    std::vector<std::string> problems = file.errors;
    std::set<std::string> known{"showframes", "portemap"};
    auto point = [&](const std::string& name) -> std::optional<std::pair<int, int>> {
        known.insert(name);
        const auto found = file.values.find(name);
        if (found == file.values.end()) {
            problems.push_back("\"" + name + "\" is missing");
            return std::nullopt;
        }
        const std::string& v = found->second;
        const std::size_t comma = v.find(',');
        const auto x = comma == std::string::npos ? std::nullopt : parseInt(v.substr(0, comma));
        const auto y = comma == std::string::npos ? std::nullopt : parseInt(v.substr(comma + 1));
        if (!x || !y) {
            problems.push_back("\"" + name + "\" = \"" + v + "\" is not \"x,y\"");
            return std::nullopt;
        }
        return std::make_pair(*x, *y);
    };

    const auto showframes = file.values.find("showframes");
    if (showframes != file.values.end() && showframes->second != "0" && showframes->second != "1")
        problems.push_back("\"showframes\" must be 0 or 1");

    std::vector<DoorPlacement> placed;
    for (int n = 1; n <= kDoorCount; ++n) {
        const auto door = point(numbered("porte", n));
        const auto text = point(numbered("textcenter", n));
        if (!door || !text)
            continue;
        const DoorPlacement p{n, door->first, door->second, text->first, text->second};
        const Box box{p.x, p.y, kDoorWidth, kDoorHeight};
        const std::string label = "door " + std::to_string(n);
        if (box.x < 0 || box.x + box.width > kScreenWidth || box.y < kDoorAreaTop ||
            box.y + box.height > kDoorAreaBottom)
            problems.push_back(label + " at " + std::to_string(p.x) + "," + std::to_string(p.y) +
                               " leaves the door area (x 0-640, y " + std::to_string(kDoorAreaTop) +
                               "-" + std::to_string(kDoorAreaBottom) + ")");
        if (box.overlaps(kPlayButtonBox))
            problems.push_back(label + " lies under the play button");
        if (box.overlaps(kPreviousRoundBox) || box.overlaps(kNextRoundBox))
            problems.push_back(label + " lies under a round button");
        if (!box.contains(p.textX, p.textY))
            problems.push_back(label + ": its text centre lies outside the door");
        for (const DoorPlacement& other : placed) {
            if (kRoundOfDoor[other.number - 1] == kRoundOfDoor[n - 1] &&
                box.overlaps(Box{other.x, other.y, kDoorWidth, kDoorHeight}))
                problems.push_back(label + " overlaps door " + std::to_string(other.number));
        }
        placed.push_back(p);
    }
    // The scene goes on reading doors while textcenterNN exists.
    const std::string tenth = numbered("textcenter", kDoorCount + 1);
    known.insert(tenth);
    if (file.values.count(tenth) != 0)
        problems.push_back("the demo has nine doors, but \"" + tenth + "\" describes a tenth");

    const auto map = file.values.find("portemap");
    if (map != file.values.end()) {
        std::stringstream entries(map->second);
        std::string entry;
        std::set<int> seen;
        int count = 0;
        while (std::getline(entries, entry, ',')) {
            ++count;
            const auto slot = parseInt(entry);
            if (!slot || *slot < 1 || *slot > kDoorCount)
                problems.push_back("\"portemap\" entry " + std::to_string(count) +
                                   " is not a door number from 1 to 9");
            else if (!seen.insert(*slot).second)
                problems.push_back("\"portemap\" names " + std::to_string(*slot) +
                                   " twice, so two doors would write the same result");
        }
        if (count > kDoorCount)
            problems.push_back("\"portemap\" has more than nine entries");
    }

    for (const auto& [name, value] : file.values) {
        if (known.count(name) == 0)
            problems.push_back("\"" + name + "\" is not a value the choice scene reads");
    }
    if (doors != nullptr)
        *doors = std::move(placed);
    return problems;
}

} // namespace demogen
