// The sound commands of the language, over the attached sound state's bank.
#include "files/media_archive.h"
#include "kvn/sound.h"
#include "sound/sound_device.h"

namespace kvn {

namespace {

// The bank of the attached state; null before start-up and after shutdown.
SoundBank* attached_bank() {
    return active_sound ? active_sound->bank.get() : nullptr;
}

}  // namespace

int32_t load_sound(const StringValue& name, int32_t slot, int32_t voices) {
    SoundBank* bank = attached_bank();
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
    SoundBank* bank = attached_bank();
    return bank ? bank->play(slot, pan, volume) : -1;
}

int32_t sound_playing(int32_t channel) {
    SoundBank* bank = attached_bank();
    return bank ? bank->playing(channel) : 0;
}

void stop_sound(int32_t channel) {
    if (SoundBank* bank = attached_bank()) bank->stop(channel);
}

void stop_all_sounds() {
    if (SoundBank* bank = attached_bank()) bank->stop_all();
}

int32_t find_free_sound_slot() {
    SoundBank* bank = attached_bank();
    return bank ? bank->find_free_slot() : -1;
}

}  // namespace kvn
