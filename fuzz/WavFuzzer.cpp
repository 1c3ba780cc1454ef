#include <cstdlib>

#include "DecoderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!qxfuzz::checkWav(data, size)) {
        std::abort();
    }
    return 0;
}
