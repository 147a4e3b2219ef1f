// Sound: WAV effects in 4096 numbered slots, each with up to four voices so an effect can
// overlap itself, played with pan and volume. A channel handle is slot x 256 + voice.
#pragma once

#include <cstdint>

#include "kvn/value.h"

namespace kvn {

// Loads the WAV file (or media archive entry) into the slot (above 4095: 4095) with 1..4
// voices, replacing what was there; 1 on success, 0 leaves the slot empty.
int32_t load_sound(const StringValue& name, int32_t slot, int32_t voices);
// Plays the slot (above 4095: 4095) once with pan -1..1 (left..right) and volume 0..1
// (linear in decibels); the channel handle, or -1 when nothing could play.
int32_t play_sound(int32_t slot, double pan, double volume);
// 1 while the channel's voice plays, else 0.
int32_t sound_playing(int32_t channel);
// Stops and rewinds the channel's voice (a voice index beyond the slot's: all its voices).
void stop_sound(int32_t channel);
// Stops and rewinds every voice of every slot.
void stop_all_sounds();
// The lowest empty slot, or -1 when all 4096 hold a sound.
int32_t find_free_sound_slot();

}  // namespace kvn
