#include "resource/ChoiceValues.h"

#include <cstdio>
#include <cstring>

#include "qx/resources.h"

namespace qx {

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

PositionValue toPosition(const ValueText& value) {
    PositionValue position;
    static_cast<ValueText&>(position) = value;
    if (!value.found) {
        return position;
    }
    const char* comma = std::strchr(value.text, ',');
    position.hasComma = comma != nullptr;
    position.point = Point(numberOf(value.text), comma != nullptr ? numberOf(comma + 1) : 0);
    return position;
}
} // namespace

std::int32_t numberOf(const char* text) {
    while (isSpace(*text)) {
        ++text;
    }
    const bool negative = *text == '-';
    if (*text == '+' || *text == '-') {
        ++text;
    }
    // The magnitude may reach 2^31 so that the most negative number comes out exact.
    const std::int64_t limit = negative ? 0x80000000LL : 0x7FFFFFFFLL;
    std::int64_t magnitude = 0;
    for (; isDigit(*text); ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool isPlainNumber(const char* text, const char* end) {
    while (text < end && *text == ' ') {
        ++text;
    }
    if (text < end && (*text == '-' || *text == '+')) {
        ++text;
    }
    const char* digits = text;
    while (text < end && isDigit(*text)) {
        ++text;
    }
    const bool any = text > digits;
    while (text < end && *text == ' ') {
        ++text;
    }
    return any && text == end;
}

bool PositionValue::isPlain() const {
    const char* comma = std::strchr(text, ',');
    return comma != nullptr && isPlainNumber(text, comma) &&
           isPlainNumber(comma + 1, text + std::strlen(text));
}

ValueText ChoiceValues::read(const char* name) const {
    ValueText value;
    ResourceEntry* entry = choice_ != nullptr ? choice_->findEntry(nullptr, name, "text") : nullptr;
    if (entry != nullptr) {
        value.found = true;
        choice_->readData(entry, value.text, kValueLength);
    }
    return value;
}

PositionValue ChoiceValues::position(const char* name) const { return toPosition(read(name)); }

std::int32_t ChoiceValues::showFrames() const {
    const ValueText value = read("showframes");
    return value.found && std::strcmp(value.text, "1") == 0 ? 1 : 0;
}

DoorValues ChoiceValues::door(std::int32_t n) const {
    DoorValues values;
    values.number = n;
    char name[32];
    std::snprintf(name, sizeof name, "porte%2.2i", static_cast<int>(n));
    values.position = position(name);
    std::snprintf(name, sizeof name, "textcenter%2.2i", static_cast<int>(n));
    values.textCentre = position(name);
    return values;
}

DoorMapValue ChoiceValues::doorMap(std::int32_t (&map)[kMappedDoors]) const {
    DoorMapValue value;
    static_cast<ValueText&>(value) = read("portemap");
    if (!value.found) {
        return value;
    }
    const char* field = value.text;
    for (;;) {
        const char* comma = std::strchr(field, ',');
        DoorMapField& entry = value.fields[value.fieldCount];
        entry.offset = static_cast<std::int32_t>(field - value.text);
        entry.length = static_cast<std::int32_t>(
            (comma != nullptr ? comma : field + std::strlen(field)) - field);
        entry.value = numberOf(field);
        map[value.fieldCount] = entry.value;
        ++value.fieldCount;
        if (comma == nullptr) {
            break;
        }
        if (value.fieldCount == kMappedDoors) {
            value.more = true;
            break;
        }
        field = comma + 1;
    }
    return value;
}

} // namespace qx
