// The mixer with 64 voices at once (mixed rates, mono and stereo, 8 and 16 bits) producing
// 60 s of output in 512-frame callbacks, against SDL_MixAudioFormat adding the same voices
// pre-converted to the device format: no resampling, no pan, one volume for both channels.
#include "sound/mixer.h"

#include <SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "best_time.h"

namespace {

using kvn::bench::best_ms;

constexpr int kVoices = 64;
constexpr int kSeconds = 60;
constexpr size_t kCallbackFrames = 512;
constexpr double kSoundSeconds = 1.5;
constexpr double kPi = 3.14159265358979323846;

volatile int64_t sink = 0;

// A decaying chord with a little noise, as shots and explosions are.
double effect_sample(size_t frame, uint32_t rate, int seed, int channel) {
    const double t = static_cast<double>(frame) / rate;
    const double tone = std::sin(2 * kPi * (180 + 37 * seed + 50 * channel) * t) +
                        0.5 * std::sin(2 * kPi * (510 + 11 * seed) * t);
    const double noise = static_cast<double>((frame * 2654435761u + seed) % 1000) / 500.0 - 1.0;
    return 0.6 * std::exp(-1.5 * t) * (0.8 * tone + 0.2 * noise) / 1.5;
}

kvn::SoundData make_sound(int seed) {
    static const uint32_t rates[] = {11025, 22050, 44100, 16000, 32000, 8000, 48000};
    kvn::SoundData sound;
    sound.format.sample_rate = rates[seed % 7];
    sound.format.channels = static_cast<uint16_t>(1 + seed % 2);
    sound.format.bits_per_sample = seed % 3 == 0 ? 8 : 16;
    const size_t frames = static_cast<size_t>(kSoundSeconds * sound.format.sample_rate);
    for (size_t frame = 0; frame < frames; ++frame) {
        for (int channel = 0; channel < sound.format.channels; ++channel) {
            const double value = effect_sample(frame, sound.format.sample_rate, seed, channel);
            if (sound.format.bits_per_sample == 8) {
                sound.bytes.push_back(static_cast<uint8_t>(128 + std::lround(value * 127)));
            } else {
                const int16_t sample = static_cast<int16_t>(std::lround(value * 32767));
                sound.bytes.push_back(static_cast<uint8_t>(sample & 0xFF));
                sound.bytes.push_back(static_cast<uint8_t>((sample >> 8) & 0xFF));
            }
        }
    }
    return sound;
}

// The same sound as the device plays it, in the device's format.
std::vector<int16_t> device_format(const kvn::SoundData& sound) {
    kvn::MixVoice voice;
    voice.data = &sound;
    const size_t frames = static_cast<size_t>(kSoundSeconds * kvn::kDeviceRate);
    std::vector<int16_t> out(frames * 2);
    kvn::mix_voices(&voice, 1, kvn::kDeviceRate, out.data(), frames);
    return out;
}

}  // namespace

int main() {
    std::vector<kvn::SoundData> sounds;
    for (int seed = 0; seed < kVoices; ++seed) sounds.push_back(make_sound(seed));
    std::vector<std::vector<int16_t>> converted;
    for (const kvn::SoundData& sound : sounds) converted.push_back(device_format(sound));

    const size_t callbacks = kSeconds * kvn::kDeviceRate / kCallbackFrames;
    std::vector<int16_t> out(kCallbackFrames * 2);

    // Voices start at staggered offsets and start again when they end.
    const double mixer_ms = best_ms([&] {
        std::vector<kvn::MixVoice> voices(kVoices);
        for (int i = 0; i < kVoices; ++i) {
            voices[i].data = &sounds[i];
            voices[i].position = (uint64_t{static_cast<uint32_t>(i * 997)} << 32);
            kvn::voice_gains(-600, (i % 5 - 2) * 1000, &voices[i].gain_left, &voices[i].gain_right);
        }
        for (size_t call = 0; call < callbacks; ++call) {
            kvn::mix_voices(voices.data(), voices.size(), kvn::kDeviceRate, out.data(),
                            kCallbackFrames);
            for (kvn::MixVoice& voice : voices) {
                if (!voice.finished) continue;
                voice.finished = false;
                voice.position = 0;
            }
            sink = sink + out[call % out.size()];
        }
    });

    const double baseline_ms = best_ms([&] {
        std::vector<size_t> offsets(kVoices);
        for (int i = 0; i < kVoices; ++i) offsets[i] = (i * 997 * 2) % converted[i].size();
        for (size_t call = 0; call < callbacks; ++call) {
            SDL_memset(out.data(), 0, out.size() * sizeof(int16_t));
            for (int i = 0; i < kVoices; ++i) {
                const std::vector<int16_t>& source = converted[i];
                size_t done = 0;
                // A voice that ends within the callback starts again, as above.
                while (done < out.size()) {
                    const size_t run = std::min(out.size() - done, source.size() - offsets[i]);
                    SDL_MixAudioFormat(reinterpret_cast<Uint8*>(out.data() + done),
                                       reinterpret_cast<const Uint8*>(source.data() + offsets[i]),
                                       AUDIO_S16SYS, static_cast<Uint32>(run * sizeof(int16_t)),
                                       64);
                    done += run;
                    offsets[i] = (offsets[i] + run) % source.size();
                }
            }
            sink = sink + out[call % out.size()];
        }
    });

    const double mixer_per_second = mixer_ms / kSeconds;
    const double baseline_per_second = baseline_ms / kSeconds;
    std::printf("mixer: %d voices, %d s of %u Hz stereo in %zu-frame callbacks\n", kVoices,
                kSeconds, kvn::kDeviceRate, kCallbackFrames);
    std::printf(
        "  kvn mixer            %8.3f ms per second of audio (%.3f %% of a core, %.4f %% per "
        "voice)\n",
        mixer_per_second, mixer_per_second / 10.0, mixer_per_second / 10.0 / kVoices);
    std::printf(
        "  SDL_MixAudioFormat   %8.3f ms per second of audio (pre-converted, no resampling)\n",
        baseline_per_second);
    std::printf("  ratio kvn / SDL      %8.2f\n", mixer_per_second / baseline_per_second);
    return 0;
}
