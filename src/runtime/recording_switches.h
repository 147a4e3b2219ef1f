// The switches of recording and replay: KVN_RECORD=FILE, KVN_RECORD_CHECK=N, KVN_REPLAY=FILE,
// KVN_REPLAY_SPEED=1 and KVN_REPLAY_SHOTS=DIR:N,M,...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn {

// The frames of KVN_REPLAY_SHOTS and the folder they are saved in.
struct ReplayShots {
    std::string directory;
    std::vector<uint64_t> frames;
};

// Reads "DIR:N,M,..." (frames counted from 1); false for anything else.
bool parse_replay_shots(const std::string& text, ReplayShots* shots);
// Reads a whole number 0..2^32-1; false for anything else.
bool parse_check_interval(const std::string& text, uint32_t* interval);

// Starts a recording or a replay when the environment asks for one; called first thing in the
// process, before anything is read from outside.
void start_recording_or_replay();
// Tells the recording the program's settings (after Set_Project_Defaults).
void note_run_for_recording();

}  // namespace kvn
