// PNG output with the exact colour types the scene's picture elements expect.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "demogen/Raster.h"

namespace demogen {

enum class PngKind {
    Rgb24,  // colour over black; the picture's alpha is dropped
    Rgba32, // colour and alpha
};

using PngText = std::vector<std::pair<std::string, std::string>>;

// Writes 8 bits per channel, no time chunk, so equal pictures give equal files.
// Throws std::runtime_error naming the file on failure.
void writePng(const std::string& path, const Picture& picture, PngKind kind,
              const PngText& text = {});

} // namespace demogen
