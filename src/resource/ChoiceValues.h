// The text values of the "choice" folder, read and converted the way the scene reads them:
// door positions ("porte%2.2i"), text centres ("textcenter%2.2i"), the door map
// ("portemap") and "showframes". The scene and every host tool read them through this one
// reader, so that what a host reports about the data is what the scene does with it.
//
// A value is a "text" entry found with findEntry and read into 32 zeroed bytes, so it holds
// at most 31 characters. Numbers convert like atoi. Nothing here logs or allocates.
#pragma once

#include <cstdint>

#include "qx/geometry.h"

namespace qx {

class ResourceDirectory;

inline constexpr std::int32_t kValueLength = 31;
// The scene's door slots: doors 1 to 11 can exist.
inline constexpr std::int32_t kDoorSlots = 11;
// Doors 1 to 9 have a door-map entry and write their topic into the game state.
inline constexpr std::int32_t kMappedDoors = 9;

// Like atoi: leading white space, an optional sign, then decimal digits up to the first
// other character; no digits give 0. Values beyond 32 bits saturate.
std::int32_t numberOf(const char* text);
// The characters from text up to end are a number as an author writes one: blanks, an
// optional sign, at least one digit, blanks, and nothing else.
bool isPlainNumber(const char* text, const char* end);

struct ValueText {
    bool found = false;
    char text[kValueLength + 1] = {};
};

// "x,y": the text is cut at its first comma and each side converted like atoi. Without a
// comma the whole text is x and y is 0.
struct PositionValue : ValueText {
    bool hasComma = false;
    Point point;
    // Both sides are plain numbers.
    bool isPlain() const;
};

struct DoorValues {
    std::int32_t number = 0;  // from 1
    PositionValue position;   // "porte%2.2i": the door picture's top-left corner
    PositionValue textCentre; // "textcenter%2.2i": where a held topic's text is centred
    // The scene makes a door in slot number - 1.
    bool made() const { return position.found && number <= kDoorSlots; }
    // ... and sets it up: shown, touchable, with its picture and sounds.
    bool setUp() const { return made() && textCentre.found; }
    // Its topic goes into the game state through the door map.
    bool mapped() const { return made() && number <= kMappedDoors; }
};

struct DoorMapField {
    std::int32_t offset = 0; // where the field starts in the text
    std::int32_t length = 0; // up to the next comma or the end
    std::int32_t value = 0;  // converted like atoi
};

// "portemap": the first field goes to entry 0, each field after a comma to the next entry,
// until the text has no further comma or all 9 entries are filled.
struct DoorMapValue : ValueText {
    std::int32_t fieldCount = 0; // entries the value gives, 0 when absent
    DoorMapField fields[kMappedDoors];
    bool more = false; // fields after the ninth, which are not read
};

class ChoiceValues {
public:
    // Values of the "choice" directory; with null every value is absent.
    explicit ChoiceValues(ResourceDirectory* choice) : choice_(choice) {}

    ValueText read(const char* name) const;
    PositionValue position(const char* name) const;
    // 1 when "showframes" exists and is exactly "1", otherwise 0.
    std::int32_t showFrames() const;
    // Door n's position, then its text centre.
    DoorValues door(std::int32_t n) const;
    // Visits the doors as the scene's set-up meets them: 1, 2, ... up to and including the
    // first door without a text centre.
    template <class Visit> void forEachDoor(Visit visit) const {
        for (std::int32_t n = 1;; ++n) {
            const DoorValues values = door(n);
            visit(values);
            if (!values.textCentre.found) {
                return;
            }
        }
    }
    // Stores the given entries of "portemap" into map; entries not given keep their values.
    DoorMapValue doorMap(std::int32_t (&map)[kMappedDoors]) const;

private:
    ResourceDirectory* choice_;
};

} // namespace qx
