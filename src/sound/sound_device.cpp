// The attachment of the sound state and the audio callback that joins device and bank.
#include "sound/sound_device.h"

#include <algorithm>

#include "platform/audio.h"

namespace kvn {

SoundState* active_sound = nullptr;

namespace {

// Frames per callback: about 23 ms at the device rate.
constexpr int kCallbackFrames = 512;

void mix_device(void* context, int16_t* out, size_t frames) {
    const SoundDevice* device = static_cast<const SoundDevice*>(context);
    if (device->source) {
        device->source->mix(out, frames, kDeviceRate);
    } else {
        std::fill(out, out + frames * kDeviceChannels, int16_t{0});
    }
}

}  // namespace

void attach_sound(SoundState* state) {
    active_sound = state;
}

int32_t sound_init(SoundState& state) {
    SoundDevice& device = state.device;
    if (device.output) return 1;
    device.source = state.bank.get();
    device.output = platform::audio_open(kDeviceRate, kCallbackFrames, mix_device, &device);
    return device.output ? 1 : 0;
}

void sound_release_bank(SoundState& state) {
    SoundDevice& device = state.device;
    if (device.output) {
        platform::audio_lock(device.output);
        device.source = nullptr;
        platform::audio_unlock(device.output);
    }
    state.bank.reset();
}

void sound_release_device(SoundState& state) {
    platform::audio_close(state.device.output);
    state.device.output = nullptr;
}

}  // namespace kvn
