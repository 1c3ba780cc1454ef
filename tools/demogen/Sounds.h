// The scene's three sound effects, synthesised at kSampleRate, mono, -1..1.
#pragma once

#include <vector>

namespace demogen {

std::vector<float> clickSound();    // a button click
std::vector<float> selectedSound(); // a rising chime: a topic went into a door
std::vector<float> deletedSound();  // a falling swoosh: a topic came out of a door

} // namespace demogen
