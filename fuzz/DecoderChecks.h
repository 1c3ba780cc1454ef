// What must hold for any bytes given to the host's decoders. The fuzz targets abort when
// a check fails; the regression tests run the kept inputs through the same checks.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "archives/ResourceRoot.h"
#include "archives/ValuesArchive.h"
#include "media/PngCodec.h"
#include "media/WavArchive.h"
#include "resource/ChoiceValues.h"
#include "runtime/Host.h"

namespace qxfuzz {

// Decoded, a picture holds exactly its rows; refused, it says why.
inline bool checkPng(const std::uint8_t* data, std::size_t size) {
    qxhost::DecodedPicture picture;
    std::string error;
    if (!qxhost::decodePng(data, size, picture, error)) {
        return !error.empty();
    }
    const auto expected = static_cast<std::size_t>(picture.width) *
                          static_cast<std::size_t>(picture.height) *
                          static_cast<std::size_t>(picture.bitsPerPixel / 8);
    return picture.width > 0 && picture.height > 0 && picture.format != nullptr &&
           picture.pixels.size() == expected && picture.frames >= 1 &&
           picture.frames <= picture.height;
}

// Parsed, the samples lie inside the file; refused, it says why.
inline bool checkWav(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    qxhost::WavLayout layout;
    std::string error;
    std::string warning;
    if (!qxhost::parseWav(bytes, layout, error, warning)) {
        return !error.empty();
    }
    return layout.dataOffset <= size && layout.dataLength <= size - layout.dataOffset;
}

// Every value has a name, in line order, and a good line after any text is still read.
inline bool checkValues(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int previous = 0;
    for (const auto& value : qxhost::parseValues(text).values) {
        if (value.name.empty() || value.line <= previous) {
            return false;
        }
        previous = value.line;
    }
    const auto more = qxhost::parseValues(std::string(text) + "\nzz = 1\n").values;
    return !more.empty() && more.back().name == "zz" && more.back().value == "1";
}

// The shared reader of the layout values (qx::ChoiceValues), on the bytes as a data folder's
// choice/values.txt read through the host's folder and values archives, as the scene reads
// them: every value found is the first of its name (without regard to case), cut to 31
// characters; numbers convert like a 32-bit saturating atoi; the door walk stops at the first
// door without a text centre; the door map holds at most nine fields, each inside the text.
inline bool checkChoiceValues(const std::uint8_t* data, std::size_t size) {
    namespace fs = std::filesystem;
    static const fs::path folder =
        fs::temp_directory_path() / ("qxfuzz-values-" + std::to_string(getpid()));
    fs::create_directories(folder / "choice");
    std::ofstream(folder / "choice" / "values.txt", std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const auto parsed =
        qxhost::parseValues(std::string_view(reinterpret_cast<const char*>(data), size));
    const bool readable = size <= qxhost::kLargestValuesFile;
    const auto expected = [&](const char* name) -> const qxhost::TextValue* {
        for (const auto& value : parsed.values) {
            if (readable && qx::namesEqual(value.name.c_str(), name)) {
                return &value;
            }
        }
        return nullptr;
    };
    const auto atoiOf = [](const char* text) {
        return static_cast<std::int32_t>(
            std::clamp<long long>(std::strtoll(text, nullptr, 10), INT32_MIN, INT32_MAX));
    };
    const auto sameText = [&](const qx::ValueText& read, const char* name) {
        const qxhost::TextValue* value = expected(name);
        if (value == nullptr || !read.found) {
            return (value == nullptr) == !read.found;
        }
        const std::size_t length = std::min<std::size_t>(value->value.size(), qx::kValueLength);
        return read.text[qx::kValueLength] == '\0' &&
               std::memcmp(read.text, value->value.data(), length) == 0;
    };

    qxhost::Host host;
    const auto root = qxhost::openResourceRoot(host, folder.string());
    qx::ResourceDirectory* top = root->directory();
    const qx::ChoiceValues values(top->openDirectory(top->find("choice")));
    bool good = sameText(values.read("showframes"), "showframes");
    std::int32_t next = 1;
    values.forEachDoor([&](const qx::DoorValues& door) {
        char porte[32];
        char centre[32];
        std::snprintf(porte, sizeof porte, "porte%2.2i", static_cast<int>(door.number));
        std::snprintf(centre, sizeof centre, "textcenter%2.2i", static_cast<int>(door.number));
        const char* comma = std::strchr(door.position.text, ',');
        good = good && door.number == next++ && sameText(door.position, porte) &&
               sameText(door.textCentre, centre) &&
               (!door.position.found ||
                (door.position.point.x == atoiOf(door.position.text) &&
                 door.position.point.y == (comma != nullptr ? atoiOf(comma + 1) : 0)));
    });
    std::int32_t map[qx::kMappedDoors] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const qx::DoorMapValue doorMap = values.doorMap(map);
    good = good && sameText(doorMap, "portemap") && doorMap.fieldCount >= 0 &&
           doorMap.fieldCount <= qx::kMappedDoors && (!doorMap.more || doorMap.fieldCount == 9);
    const auto textLength = static_cast<std::int32_t>(std::strlen(doorMap.text));
    for (std::int32_t i = 0; good && i < doorMap.fieldCount; ++i) {
        const qx::DoorMapField& field = doorMap.fields[i];
        good = field.offset >= 0 && field.length >= 0 &&
               field.offset + field.length <= textLength &&
               field.value == atoiOf(doorMap.text + field.offset) && map[i] == field.value;
    }
    for (std::int32_t i = doorMap.fieldCount; good && i < qx::kMappedDoors; ++i) {
        good = map[i] == i + 1;
    }
    return good;
}

} // namespace qxfuzz
