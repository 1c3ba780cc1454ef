#include "app/Printable.h"

#include <cstdio>

namespace qxhost::app {

std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    if (first < 0x80) {
        return 1;
    }
    // The lead byte gives the length and the range the second byte must fall in, which rules
    // out overlong forms, surrogates and code points past U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        low = first == 0xE0 ? 0xA0 : 0x80;
        high = first == 0xED ? 0x9F : 0xBF;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        low = first == 0xF0 ? 0x90 : 0x80;
        high = first == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::string hexEscape(unsigned char byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    return code;
}

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    forEachUtf8(
        text,
        [&shown](std::string_view sequence) {
            const auto c = static_cast<unsigned char>(sequence[0]);
            // U+0080 to U+009F are C2 80 to C2 9F: 8-bit controls to some terminals.
            const bool c1 = c == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
            if (c < 0x20 || c == 0x7F || c1) {
                for (char byte : sequence) {
                    shown += hexEscape(static_cast<unsigned char>(byte));
                }
            } else {
                shown += sequence;
            }
        },
        [&shown](unsigned char byte) { shown += hexEscape(byte); });
    return shown;
}

} // namespace qxhost::app
