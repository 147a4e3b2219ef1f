// Voice choice and play state of the sound bank, and the hand-over to the audio callback:
// under the lock the callback copies the playing voices, mixes without the lock, and writes
// the cursors back only for voices the game has not restarted or stopped meanwhile.
#include "sound/sound_bank.h"

#include <algorithm>
#include <cmath>

#include "sound/wav_reader.h"

namespace kvn {

namespace {

constexpr int32_t kLastSlot = kSoundSlotCount - 1;

// Pan -1..1 (left..right) in hundredths of a decibel, -10000..10000; NaN is the centre.
int32_t pan_units(double pan) {
    if (std::isnan(pan)) return 0;
    return static_cast<int32_t>(std::min(std::max(pan, -1.0), 1.0) * 10000.0);
}

// Volume 0..1 as whole percent, then in hundredths of a decibel: 100 % is 0, 0 % is -10000.
int32_t volume_units(double volume) {
    const double percent = volume * 100.0;
    const int32_t whole = !(percent > 0.0)  ? 0
                          : percent > 100.0 ? 100
                                            : static_cast<int32_t>(percent);
    return whole * 100 - 10000;
}

}  // namespace

SoundBank::SoundBank() : slots_(kSoundSlotCount) {
    const size_t voices = size_t{kSoundSlotCount} * kVoicesPerSlot;
    active_.reserve(voices);
    taken_.reserve(voices);
    mixing_.reserve(voices);
}

SoundBank::~SoundBank() {
    for (int32_t slot = kLastSlot; slot >= 0; --slot) release(slot);
}

SoundBank::Voice& SoundBank::voice_at(int32_t voice_id) {
    return slots_[voice_id / kVoicesPerSlot].voices[voice_id % kVoicesPerSlot];
}

void SoundBank::start(int32_t voice_id) {
    Voice& voice = voice_at(voice_id);
    voice.position = 0;
    voice.playing = true;
    ++voice.serial;
    voice.active_index = active_.size();
    active_.push_back(voice_id);
}

void SoundBank::stop_voice(int32_t voice_id) {
    Voice& voice = voice_at(voice_id);
    if (voice.playing) {
        const int32_t last = active_.back();
        active_[voice.active_index] = last;
        voice_at(last).active_index = voice.active_index;
        active_.pop_back();
        voice.playing = false;
    }
    voice.position = 0;
    ++voice.serial;
}

void SoundBank::release(int32_t slot) {
    if (slot < 0) return;
    slot = std::min(slot, kLastSlot);
    // The data is dropped after the lock is given back: freeing it may take a while.
    std::shared_ptr<const SoundData> dropped[kVoicesPerSlot];
    {
        std::lock_guard<std::mutex> hold(lock_);
        Slot& target = slots_[slot];
        for (int32_t voice = 0; voice < kVoicesPerSlot; ++voice) {
            stop_voice(slot * kVoicesPerSlot + voice);
            dropped[voice] = std::move(target.voices[voice].data);
        }
        target.voice_count = 0;
        target.current_voice = 0;
    }
}

bool SoundBank::load(const char* name, int32_t slot, int32_t voices) {
    if (slot < 0) return false;
    slot = std::min(slot, kLastSlot);
    release(slot);
    auto data = std::make_shared<SoundData>();
    if (!read_wav(name, data.get())) return false;
    const int32_t count = std::min(std::max(voices, 1), kVoicesPerSlot);
    std::lock_guard<std::mutex> hold(lock_);
    Slot& target = slots_[slot];
    for (int32_t voice = 0; voice < count; ++voice) target.voices[voice].data = data;
    target.voice_count = count;
    return true;
}

int32_t SoundBank::play(int32_t slot, double pan, double volume) {
    if (slot < 0) return -1;
    slot = std::min(slot, kLastSlot);
    const int32_t pan_level = pan_units(pan);
    const int32_t volume_level = volume_units(volume);

    std::lock_guard<std::mutex> hold(lock_);
    Slot& target = slots_[slot];
    if (target.current_voice >= target.voice_count) return -1;
    if (target.voices[target.current_voice].playing) {
        if (target.voice_count == 1) return -1;
        // The next voice; if it still plays, its instance is the oldest and is cut.
        target.current_voice = (target.current_voice + 1) % target.voice_count;
        stop_voice(slot * kVoicesPerSlot + target.current_voice);
    }
    Voice& voice = target.voices[target.current_voice];
    if (!voice.data) return -1;
    voice_gains(volume_level, pan_level, &voice.gain_left, &voice.gain_right);
    start(slot * kVoicesPerSlot + target.current_voice);
    return slot * kHandleSlotFactor + target.current_voice;
}

int32_t SoundBank::playing(int32_t handle) {
    if (handle < 0 || handle / kHandleSlotFactor > kLastSlot) return 0;
    const int32_t slot = handle / kHandleSlotFactor;
    const int32_t voice = handle % kHandleSlotFactor;
    std::lock_guard<std::mutex> hold(lock_);
    if (voice >= slots_[slot].voice_count) return 0;
    return slots_[slot].voices[voice].playing ? 1 : 0;
}

void SoundBank::stop(int32_t handle) {
    if (handle < 0 || handle / kHandleSlotFactor > kLastSlot) return;
    const int32_t slot = handle / kHandleSlotFactor;
    const int32_t voice = handle % kHandleSlotFactor;
    std::lock_guard<std::mutex> hold(lock_);
    const int32_t count = slots_[slot].voice_count;
    if (voice < count) {
        stop_voice(slot * kVoicesPerSlot + voice);
        return;
    }
    for (int32_t each = 0; each < count; ++each) stop_voice(slot * kVoicesPerSlot + each);
}

void SoundBank::stop_all() {
    std::lock_guard<std::mutex> hold(lock_);
    while (!active_.empty()) stop_voice(active_.back());
}

int32_t SoundBank::find_free_slot() const {
    // Only the game thread changes the data pointers, so reading them needs no lock.
    for (int32_t slot = 0; slot < kSoundSlotCount; ++slot) {
        if (!slots_[slot].voices[0].data) return slot;
    }
    return -1;
}

void SoundBank::mix(int16_t* out, size_t frames, uint32_t device_rate) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        taken_.clear();
        mixing_.clear();
        for (const int32_t voice_id : active_) {
            const Voice& voice = voice_at(voice_id);
            taken_.push_back({voice_id, voice.serial, voice.data});
            mixing_.push_back(
                {voice.data.get(), voice.position, voice.gain_left, voice.gain_right, false});
        }
    }
    mix_voices(mixing_.data(), mixing_.size(), device_rate, out, frames);
    {
        std::lock_guard<std::mutex> hold(lock_);
        for (size_t i = 0; i < taken_.size(); ++i) {
            const int32_t voice_id = taken_[i].voice_id;
            Voice& voice = voice_at(voice_id);
            if (voice.serial != taken_[i].serial) continue;
            if (mixing_[i].finished) {
                // A voice that ran to its end is rewound, so its next play starts afresh.
                stop_voice(voice_id);
            } else {
                voice.position = mixing_[i].position;
            }
        }
    }
    // Outside the lock: the last reference to a reloaded slot's old data may end here.
    for (Taken& taken : taken_) taken.data.reset();
}

}  // namespace kvn
