// The three sound effects, synthesized: every envelope starts and ends at silence, so no
// sound clicks when it starts or stops.
#include <algorithm>
#include <cmath>
#include <vector>

#include "families.h"

namespace assets {

namespace {

constexpr int kSampleRate = 22050;

// Attack and release ramps around a body envelope; 0 at both ends.
double edges(double t, double duration, double attack, double release) {
    return std::min({1.0, t / attack, std::max(0.0, (duration - t) / release)});
}

// Scales to the peak and converts to 16-bit samples.
std::vector<int16_t> to_pcm(const std::vector<double>& wave, double peak) {
    double largest = 1e-9;
    for (double v : wave) largest = std::max(largest, std::abs(v));
    std::vector<int16_t> pcm(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        pcm[i] = int16_t(std::lround(wave[i] / largest * peak * 32767));
    }
    return pcm;
}

// A laser shot: a falling tone with a short noisy attack.
std::vector<int16_t> shot(double duration, double start_hz, double end_hz, double fall,
                          double drive, uint64_t seed) {
    Rng rng(seed);
    const int count = int(duration * kSampleRate);
    std::vector<double> wave(count);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double hz = end_hz + (start_hz - end_hz) * std::exp(-t * fall);
        phase += 2 * M_PI * hz / kSampleRate;
        const double tone = std::tanh(drive * std::sin(phase)) + 0.3 * std::sin(2 * phase);
        const double noise = rng.uniform(-1, 1) * std::exp(-t * 120);
        const double envelope = edges(t, duration, 0.003, 0.02) * std::exp(-t * 11);
        wave[i] = (tone + noise * 0.6) * envelope;
    }
    return to_pcm(wave, 0.6);
}

// An explosion: low-passed noise that darkens as it fades, a falling thump and crackles.
std::vector<int16_t> boom(uint64_t seed) {
    Rng rng(seed);
    const double duration = 1.1;
    const int count = int(duration * kSampleRate);
    std::vector<double> wave(count);
    double low = 0;
    double lower = 0;
    double phase = 0;
    double crackle = 0;
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / kSampleRate;
        const double cutoff = 150 + 2800 * std::exp(-t * 5);
        const double k = 1 - std::exp(-2 * M_PI * cutoff / kSampleRate);
        low += (rng.uniform(-1, 1) - low) * k;
        lower += (low - lower) * k;
        phase += 2 * M_PI * (35 + 45 * std::exp(-t * 8)) / kSampleRate;
        const double thump = std::sin(phase) * std::exp(-t * 6);
        if (rng.uniform(0, 1) < 0.004 * std::exp(-t * 3)) crackle = rng.uniform(-1, 1);
        crackle *= 0.97;
        const double envelope = edges(t, duration, 0.004, 0.04);
        wave[i] = (lower * 2.2 * std::exp(-t * 3.2) + thump * 0.9 + crackle * 0.35) * envelope;
    }
    return to_pcm(wave, 0.85);
}

}  // namespace

void make_sounds(AssetWriter& out) {
    out.wav("blast_a1.wav", shot(0.16, 1500, 340, 9, 2.5, 901), kSampleRate);
    out.wav("blast_b1.wav", shot(0.22, 720, 150, 7, 4.0, 902), kSampleRate);
    out.wav("boom_a1.wav", boom(903), kSampleRate);
}

}  // namespace assets
