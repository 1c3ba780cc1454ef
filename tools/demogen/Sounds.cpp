#include "demogen/Sounds.h"

#include <algorithm>
#include <cmath>

#include "demogen/DemoLayout.h"
#include "demogen/Random.h"

namespace demogen {

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kRate = kSampleRate;

std::size_t frames(float seconds) { return static_cast<std::size_t>(seconds * kRate); }

float timeOf(std::size_t i) { return static_cast<float>(i) / kRate; }

// Scales to the given peak and ramps the last milliseconds so the end does not click.
void finish(std::vector<float>& s, float peak) {
    float highest = 0;
    for (float v : s)
        highest = std::max(highest, std::abs(v));
    const std::size_t tail = std::min(s.size(), frames(0.01f));
    for (std::size_t i = 0; i < s.size(); ++i) {
        float v = highest > 0 ? s[i] * peak / highest : 0.0f;
        const std::size_t left = s.size() - i;
        if (left < tail)
            v *= static_cast<float>(left) / static_cast<float>(tail);
        s[i] = v;
    }
}

} // namespace

std::vector<float> clickSound() {
    Random random(0xC11C);
    std::vector<float> s(frames(0.06f));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        const float tick = std::sin(kTwoPi * 1900 * t) * std::exp(-t / 0.006f);
        const float body = std::sin(kTwoPi * 340 * t) * std::exp(-t / 0.018f);
        const float noise = (random.uniform() * 2 - 1) * std::exp(-t / 0.003f);
        s[i] = 0.5f * tick + 0.6f * body + 0.4f * noise;
    }
    finish(s, 0.7f);
    return s;
}

std::vector<float> selectedSound() {
    // An arpeggio of A, C sharp and E, each note ringing with a soft octave above it.
    const float notes[] = {880.0f, 1108.73f, 1318.51f};
    std::vector<float> s(frames(0.38f));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i);
        float v = 0;
        for (int n = 0; n < 3; ++n) {
            const float start = 0.06f * static_cast<float>(n);
            if (t < start)
                continue;
            const float u = t - start;
            const float envelope = std::min(1.0f, u / 0.004f) * std::exp(-u / 0.12f);
            v += envelope *
                 (std::sin(kTwoPi * notes[n] * u) + 0.3f * std::sin(kTwoPi * 2 * notes[n] * u));
        }
        s[i] = v;
    }
    finish(s, 0.65f);
    return s;
}

std::vector<float> deletedSound() {
    // Noise through a resonant band-pass whose centre falls from 3 kHz to 250 Hz.
    Random random(0x5005);
    const float length = 0.32f;
    std::vector<float> s(frames(length));
    float low = 0, band = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const float t = timeOf(i) / length;
        const float centre = 3000.0f * std::pow(250.0f / 3000.0f, t);
        const float f = 2 * std::sin(3.14159265f * centre / kRate);
        const float input = random.uniform() * 2 - 1;
        const float high = input - low - 0.35f * band;
        band += f * high;
        low += f * band;
        const float envelope = std::sin(3.14159265f * std::sqrt(t));
        s[i] = band * envelope;
    }
    finish(s, 0.6f);
    return s;
}

} // namespace demogen
