// Audio output on SDL2: the device is opened in exactly the asked format, so the mixer's
// samples reach the driver unconverted.
#include "platform/audio.h"

#include <SDL.h>

#include <cstdio>

namespace kvn::platform {

struct AudioOutput {
    SDL_AudioDeviceID device = 0;
    AudioMixer mixer = nullptr;
    void* context = nullptr;
};

namespace {

constexpr int kChannels = 2;

void SDLCALL audio_callback(void* userdata, Uint8* stream, int length) {
    const AudioOutput* output = static_cast<const AudioOutput*>(userdata);
    const size_t frames = static_cast<size_t>(length) / (kChannels * sizeof(int16_t));
    output->mixer(output->context, reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace

AudioOutput* audio_open(int rate, int frames_per_callback, AudioMixer mixer, void* context) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "kvn: no audio: %s\n", SDL_GetError());
        return nullptr;
    }
    AudioOutput* output = new AudioOutput{0, mixer, context};
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
    SDL_PauseAudioDevice(output->device, 0);
    return output;
}

void audio_lock(AudioOutput* output) {
    SDL_LockAudioDevice(output->device);
}

void audio_unlock(AudioOutput* output) {
    SDL_UnlockAudioDevice(output->device);
}

void audio_close(AudioOutput* output) {
    if (!output) return;
    SDL_CloseAudioDevice(output->device);
    delete output;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace kvn::platform
