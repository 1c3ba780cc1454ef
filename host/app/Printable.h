// Text that comes from data files, scripts or modules, made safe to show: such text can hold
// any byte, and a terminal obeys control bytes (an escape sequence in a script line can
// retitle it), while JSON and HTML files must be valid UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qxhost::app {

// The length of the well-formed UTF-8 sequence that starts at text[at] (1 for ASCII), or 0
// when the byte there starts none.
std::size_t utf8Length(std::string_view text, std::size_t at);

// Walks the text: each well-formed UTF-8 sequence goes to sequence(string_view), each byte
// that starts none to stray(unsigned char).
template <class Sequence, class Stray>
void forEachUtf8(std::string_view text, Sequence sequence, Stray stray) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Length(text, at);
        if (length == 0) {
            stray(static_cast<unsigned char>(text[at++]));
        } else {
            sequence(text.substr(at, length));
            at += length;
        }
    }
}

// "\xNN" for a byte.
std::string hexEscape(unsigned char byte);

// For the terminal: control bytes (below 0x20, and 0x7F), the C1 controls (U+0080 to U+009F)
// and bytes that are not UTF-8 are shown as \xNN; everything else is kept.
std::string printable(std::string_view text);

} // namespace qxhost::app
