// The sound commands of the language, over the attached sound state's bank.
#include "files/media_archive.h"
#include "kvn/sound.h"
#include "platform/audio.h"
#include "sound/sound_device.h"

namespace kvn {

namespace {

// The bank of the attached state (null before start-up and after shutdown), with the device
// held between two mixer passes while the command runs: what the command reads or changes
// then depends only on how many passes the device has played, which a recording notes and a
// replay repeats.
class HeldBank {
  public:
    HeldBank() : output_(active_sound ? active_sound->device.output : nullptr) {
        if (output_) platform::audio_lock(output_);
    }
    ~HeldBank() {
        if (output_) platform::audio_unlock(output_);
    }
    HeldBank(const HeldBank&) = delete;
    HeldBank& operator=(const HeldBank&) = delete;
    SoundBank* get() const { return active_sound ? active_sound->bank.get() : nullptr; }

  private:
    platform::AudioOutput* output_;
};

}  // namespace

int32_t load_sound(const StringValue& name, int32_t slot, int32_t voices) {
    HeldBank held;
    SoundBank* bank = held.get();
    if (!bank || slot < 0) return 0;
    // A plain file wins over an archive entry; when neither exists the load fails below.
    StringValue resolved;
    resolve_in_first_archive(name, resolved);
    if (!active_sound->device.output) {
        bank->release(slot);
        return 0;
    }
    return bank->load(resolved.c_str(), slot, voices) ? 1 : 0;
}

int32_t play_sound(int32_t slot, double pan, double volume) {
    HeldBank held;
    SoundBank* bank = held.get();
    return bank ? bank->play(slot, pan, volume) : -1;
}

int32_t sound_playing(int32_t channel) {
    HeldBank held;
    SoundBank* bank = held.get();
    return bank ? bank->playing(channel) : 0;
}

void stop_sound(int32_t channel) {
    HeldBank held;
    if (SoundBank* bank = held.get()) bank->stop(channel);
}

void stop_all_sounds() {
    HeldBank held;
    if (SoundBank* bank = held.get()) bank->stop_all();
}

int32_t find_free_sound_slot() {
    HeldBank held;
    SoundBank* bank = held.get();
    return bank ? bank->find_free_slot() : -1;
}

}  // namespace kvn
