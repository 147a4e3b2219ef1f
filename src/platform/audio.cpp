// Audio output on SDL2: the device is opened in exactly the asked format, so the mixer's
// samples reach the driver unconverted.
#include "platform/audio.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "platform/journal.h"

namespace kvn::platform {

// A replay's output has no device: the mixer runs on the program's thread, as many passes as
// the recorded device had played whenever the program looks at the sound state, so every
// status it reads is the recorded one.
struct AudioOutput {
    SDL_AudioDeviceID device = 0;
    AudioMixer mixer = nullptr;
    void* context = nullptr;
    int frames_per_pass = 0;
    // Mixer passes played (a pass is one callback).
    std::atomic<uint64_t> passes{0};
    std::vector<int16_t> replay_buffer;
};

namespace {

constexpr int kChannels = 2;
// The most passes a replay plays at one look (hours of sound): a larger step is damage.
constexpr uint64_t kLongestReplayStep = uint64_t{1} << 20;

void SDLCALL audio_callback(void* userdata, Uint8* stream, int length) {
    AudioOutput* output = static_cast<AudioOutput*>(userdata);
    const size_t frames = static_cast<size_t>(length) / (kChannels * sizeof(int16_t));
    output->mixer(output->context, reinterpret_cast<int16_t*>(stream), frames);
    output->passes.fetch_add(1, std::memory_order_relaxed);
}

struct Opened {
    bool opened = false;
    int frames_per_pass = 0;
};

void write_opened(journal::ValueWriter& w, const Opened& v) {
    w.u8(v.opened ? 1 : 0).i32(v.frames_per_pass);
}

Opened read_opened(journal::ValueReader& r) {
    Opened v;
    v.opened = r.u8() != 0;
    v.frames_per_pass = r.i32();
    if (v.opened && (v.frames_per_pass <= 0 || v.frames_per_pass > 65536)) {
        journal::diverge("the recording's sound device has an impossible buffer size");
    }
    return v;
}

AudioOutput* live_audio_open(int rate, int frames_per_callback, AudioMixer mixer, void* context) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "kvn: no audio: %s\n", SDL_GetError());
        return nullptr;
    }
    AudioOutput* output = new AudioOutput;
    output->mixer = mixer;
    output->context = context;
    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kChannels;
    wanted.samples = static_cast<Uint16>(frames_per_callback);
    wanted.callback = audio_callback;
    wanted.userdata = output;
    SDL_AudioSpec obtained{};
    output->device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (output->device == 0) {
        std::fprintf(stderr, "kvn: no audio device: %s\n", SDL_GetError());
        delete output;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    output->frames_per_pass = obtained.samples;
    SDL_PauseAudioDevice(output->device, 0);
    return output;
}

}  // namespace

AudioOutput* audio_open(int rate, int frames_per_callback, AudioMixer mixer, void* context) {
    if (!journal::replaying()) {
        AudioOutput* output = live_audio_open(rate, frames_per_callback, mixer, context);
        if (journal::recording()) {
            journal::ValueWriter writer;
            write_opened(writer, Opened{output != nullptr, output ? output->frames_per_pass : 0});
            journal::put(journal::Kind::kAudioOpen, writer.bytes().data(), writer.bytes().size());
        }
        return output;
    }
    const Opened opened = journal::report<Opened>(
        journal::Kind::kAudioOpen, [] { return Opened{}; }, write_opened, read_opened, Opened{});
    if (!opened.opened) return nullptr;
    AudioOutput* output = new AudioOutput;
    output->mixer = mixer;
    output->context = context;
    output->frames_per_pass = opened.frames_per_pass;
    return output;
}

// Whatever the program does with the sound state happens between two mixer passes: the
// device is held while the passes played so far are counted. A replay plays its passes here.
void audio_lock(AudioOutput* output) {
    if (!journal::replaying()) {
        SDL_LockAudioDevice(output->device);
        if (journal::recording()) {
            const uint64_t passes = output->passes.load(std::memory_order_relaxed);
            uint8_t bytes[8];
            for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(passes >> (8 * i));
            journal::put(journal::Kind::kAudioProgress, bytes, sizeof bytes);
        }
        return;
    }
    const uint64_t recorded = journal::report_counter(journal::Kind::kAudioProgress, [] {
        return uint64_t{0};
    });
    uint64_t played = output->passes.load(std::memory_order_relaxed);
    if (recorded < played || recorded - played > kLongestReplayStep) {
        journal::diverge("the recording's sound device progress is impossible");
    }
    output->replay_buffer.resize(static_cast<size_t>(output->frames_per_pass) * kChannels);
    for (; played < recorded; ++played) {
        output->mixer(output->context, output->replay_buffer.data(),
                      static_cast<size_t>(output->frames_per_pass));
    }
    output->passes.store(played, std::memory_order_relaxed);
}

void audio_unlock(AudioOutput* output) {
    if (output->device != 0) SDL_UnlockAudioDevice(output->device);
}

void audio_close(AudioOutput* output) {
    if (!output) return;
    if (output->device != 0) {
        SDL_CloseAudioDevice(output->device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    delete output;
}

}  // namespace kvn::platform
