#include "demogen/ValuesFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string_view>

#include "archives/ResourceRoot.h"
#include "demogen/DemoLayout.h"
#include "resource/ChoiceValues.h"
#include "runtime/Host.h"

namespace demogen {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
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

std::vector<std::string> checkLayout(const std::string& dataFolder,
                                     std::vector<DoorPlacement>* doors) {
    const ValuesFile file =
        loadValuesFile((std::filesystem::path(dataFolder) / "choice" / "values.txt").string());
    std::vector<std::string> problems = file.errors;
    std::set<std::string> known{"showframes", "portemap"};
    // The values as the scene reads them, through its own reader.
    qxhost::Host host;
    const auto root = qxhost::openResourceRoot(host, dataFolder);
    qx::ResourceEntry* choice = root->directory()->find("choice");
    const qx::ChoiceValues values(choice != nullptr ? root->directory()->openDirectory(choice)
                                                    : nullptr);
    const auto point = [&](const std::string& name, const qx::PositionValue& value) {
        known.insert(name);
        if (!value.found)
            problems.push_back("\"" + name + "\" is missing");
        else if (!value.isPlain())
            problems.push_back("\"" + name + "\" = \"" + value.text + "\" is not \"x,y\"");
        return value.found && value.isPlain();
    };

    const qx::ValueText showframes = values.read("showframes");
    if (showframes.found && std::strcmp(showframes.text, "0") != 0 &&
        std::strcmp(showframes.text, "1") != 0)
        problems.push_back("\"showframes\" must be 0 or 1");

    std::vector<DoorPlacement> placed;
    for (int n = 1; n <= kDoorCount; ++n) {
        const qx::DoorValues door = values.door(n);
        const bool position = point(numbered("porte", n), door.position);
        if (!point(numbered("textcenter", n), door.textCentre) || !position)
            continue;
        const DoorPlacement p{n, door.position.point.x, door.position.point.y,
                              door.textCentre.point.x, door.textCentre.point.y};
        const Box box{p.x, p.y, kDoorWidth, kDoorHeight};
        const std::string label = "door " + std::to_string(n);
        if (box.x < 0 || box.x + box.width > kScreenWidth || box.y < kDoorAreaTop ||
            box.y + box.height > kDoorAreaBottom)
            problems.push_back(label + " at " + std::to_string(p.x) + "," + std::to_string(p.y) +
                               " leaves the door area (x 0-" + std::to_string(kScreenWidth) +
                               ", y " + std::to_string(kDoorAreaTop) + "-" +
                               std::to_string(kDoorAreaBottom) + ")");
        if (box.overlaps(kPlayButtonBox))
            problems.push_back(label + " lies under the play button");
        if (box.overlaps(kPreviousRoundBox) || box.overlaps(kNextRoundBox))
            problems.push_back(label + " lies under a round button");
        if (!box.contains(p.textX, p.textY))
            problems.push_back(label + ": its text centre lies outside the door");
        for (const DoorPlacement& other : placed) {
            if (screen::roundOf(other.number) == screen::roundOf(n) &&
                box.overlaps(Box{other.x, other.y, kDoorWidth, kDoorHeight}))
                problems.push_back(label + " overlaps door " + std::to_string(other.number));
        }
        placed.push_back(p);
    }
    // The scene goes on reading doors while textcenterNN exists.
    const std::string tenth = numbered("textcenter", kDoorCount + 1);
    known.insert(tenth);
    if (values.door(kDoorCount + 1).textCentre.found)
        problems.push_back("the demo has nine doors, but \"" + tenth + "\" describes a tenth");

    std::int32_t map[qx::kMappedDoors] = {};
    const qx::DoorMapValue portemap = values.doorMap(map);
    std::set<int> seen;
    for (int i = 0; i < portemap.fieldCount; ++i) {
        const qx::DoorMapField& field = portemap.fields[i];
        const char* text = portemap.text + field.offset;
        if (!qx::isPlainNumber(text, text + field.length) || field.value < 1 ||
            field.value > kDoorCount)
            problems.push_back("\"portemap\" entry " + std::to_string(i + 1) +
                               " is not a door number from 1 to 9");
        else if (!seen.insert(field.value).second)
            problems.push_back("\"portemap\" names " + std::to_string(field.value) +
                               " twice, so two doors would write the same result");
    }
    if (portemap.more)
        problems.push_back("\"portemap\" has more than nine entries");

    for (const auto& [name, value] : file.values) {
        if (known.count(name) == 0)
            problems.push_back("\"" + name + "\" is not a value the choice scene reads");
    }
    if (doors != nullptr)
        *doors = std::move(placed);
    return problems;
}

} // namespace demogen
