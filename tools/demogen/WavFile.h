// RIFF WAVE output: 16-bit PCM, one channel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demogen {

// Samples are -1..1 and are clipped to that range. Throws std::runtime_error naming the file.
void writeWav(const std::string& path, const std::vector<float>& samples, int sampleRate);

} // namespace demogen
