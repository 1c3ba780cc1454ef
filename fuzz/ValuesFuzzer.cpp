// The values file: the host's values archive parses it, and the scene's reader of the layout
// values (doors, text centres, the door map, showframes) reads it through the archives.
#include <cstdlib>

#include "DecoderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!qxfuzz::checkValues(data, size) || !qxfuzz::checkChoiceValues(data, size)) {
        std::abort();
    }
    return 0;
}
