// The device and bank of the process and the audio callback that joins them.
#include "sound/sound_device.h"

#include <algorithm>
#include <memory>

#include "platform/audio.h"

namespace kvn {

namespace {

// Frames per callback: about 23 ms at the device rate.
constexpr int kCallbackFrames = 512;

struct SoundState {
    std::unique_ptr<SoundDevice> device;
    std::unique_ptr<SoundBank> bank;
};

SoundState& state() {
    static SoundState sound;
    return sound;
}

void mix_device(void* context, int16_t* out, size_t frames) {
    const SoundDevice* device = static_cast<const SoundDevice*>(context);
    if (device->source) {
        device->source->mix(out, frames, kDeviceRate);
    } else {
        std::fill(out, out + frames * kDeviceChannels, int16_t{0});
    }
}

}  // namespace

void sound_create() {
    state().device = std::make_unique<SoundDevice>();
    state().bank = std::make_unique<SoundBank>();
}

int32_t sound_init(platform::Window* window) {
    SoundDevice* device = state().device.get();
    if (!device) return 0;
    if (!device->output) {
        device->source = state().bank.get();
        device->output = platform::audio_open(kDeviceRate, kCallbackFrames, mix_device, device);
        if (!device->output) return 0;
    }
    device->window = window;
    return 1;
}

void sound_set_window(platform::Window* window) {
    if (state().device) state().device->window = window;
}

void sound_release_bank() {
    SoundDevice* device = state().device.get();
    if (device && device->output) {
        platform::audio_lock(device->output);
        device->source = nullptr;
        platform::audio_unlock(device->output);
    }
    state().bank.reset();
}

void sound_release_device() {
    if (state().device) platform::audio_close(state().device->output);
    state().device.reset();
}

SoundDevice* sound_device() {
    return state().device.get();
}

SoundBank* sound_bank() {
    return state().bank.get();
}

}  // namespace kvn
