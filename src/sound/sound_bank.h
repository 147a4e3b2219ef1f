// The sound bank: 4096 slots of loaded sounds, each with one to four voices that share the
// slot's sample data, and the play state the audio callback advances.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "sound/mixer.h"

namespace kvn {

constexpr int32_t kSoundSlotCount = 4096;
constexpr int32_t kVoicesPerSlot = 4;
// A channel handle is slot x kHandleSlotFactor + voice.
constexpr int32_t kHandleSlotFactor = 256;

// Owned by the game thread; the audio callback (mix) reaches the play state of the voices only
// under a lock held for short copies, never while it mixes.
class SoundBank {
  public:
    SoundBank();
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;
    // Releases every slot, last slot first.
    ~SoundBank();

    // Stops the slot's voices and empties it (slot 0..4095).
    void release(int32_t slot);
    // Empties the slot and loads the WAV into it with voices clamped to 1..4; false when the
    // WAV cannot be read (the slot stays empty).
    bool load(const char* name, int32_t slot, int32_t voices);
    // Starts a voice of the slot (above 4095: slot 4095) with pan -1..1 and volume 0..1; the
    // channel handle, or -1 when the slot is empty or negative or its only voice is playing.
    int32_t play(int32_t slot, double pan, double volume);
    // 1 while the handle's voice plays; 0 for negative handles and voices or slots that do not
    // exist.
    int32_t playing(int32_t handle);
    // Stops and rewinds the handle's voice, or every voice of its slot when the voice index is
    // out of range; negative handles and slots that do not exist do nothing.
    void stop(int32_t handle);
    // Stops and rewinds every voice.
    void stop_all();
    // The lowest empty slot, or -1 when every slot holds a sound.
    int32_t find_free_slot() const;
    // The audio callback: frames of signed 16-bit stereo at device_rate from every playing voice.
    void mix(int16_t* out, size_t frames, uint32_t device_rate);

  private:
    struct Voice {
        std::shared_ptr<const SoundData> data;
        uint64_t position = 0;
        float gain_left = 1.0f;
        float gain_right = 1.0f;
        bool playing = false;
        // Changes with every start and stop, so a mix of an earlier start is not written back.
        uint32_t serial = 0;
        // Index in active_ while playing.
        size_t active_index = 0;
    };
    struct Slot {
        int32_t voice_count = 0;
        int32_t current_voice = 0;
        Voice voices[kVoicesPerSlot];
    };
    // What the callback took from a voice for one mix.
    struct Taken {
        int32_t voice_id = 0;
        uint32_t serial = 0;
        std::shared_ptr<const SoundData> data;
    };

    Voice& voice_at(int32_t voice_id);
    // Both under lock_.
    void start(int32_t voice_id);
    void stop_voice(int32_t voice_id);

    std::vector<Slot> slots_;
    std::mutex lock_;
    // Ids (slot x 4 + voice) of the playing voices.
    std::vector<int32_t> active_;
    // The callback's copies, kept between calls so mixing allocates nothing.
    std::vector<Taken> taken_;
    std::vector<MixVoice> mixing_;
};

}  // namespace kvn
