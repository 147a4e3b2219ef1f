// Recording and replay of a run: KVN_RECORD writes everything the program reads from outside
// (clock, devices, window messages, sound and media status, platform answers, file hashes)
// frame by frame into a file, KVN_REPLAY runs the program from such a file instead of the
// devices and the clock. Every platform service reports through the recorder, so recording
// and replay need nothing from the subsystems.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kvn::platform {

// What the header of a recording tells about the run besides the platform's own facts.
struct RunFacts {
    std::string runtime_version;
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    int32_t colour_bits = 0;
    int32_t frames_per_second = 0;
    bool fullscreen = false;
};

// Starts recording into the file, with a picture checksum every check_interval-th frame (0 =
// none; the first frame always has one). False (the reason on standard error) when the file
// cannot be created.
bool recording_start(const std::string& path, uint32_t check_interval);
// The program's screen settings and the runtime's version, for the recording's header.
void recording_note_run(const RunFacts& facts);
// Starts a replay of the file; real_time keeps the recorded pacing, otherwise frames follow
// each other as fast as they are drawn. A file that cannot be read or is damaged ends the
// process with exit code 2 and "replay file is damaged at byte N" on standard error.
void replay_start(const std::string& path, bool real_time);
// The random generator's start-up seed: written into the header, or compared with the
// recorded one in a replay.
void recording_note_seed(int32_t seed);
// Called once when a replay has used up its recording; it ends the program.
using ReplayEndHandler = void (*)();
void set_replay_end_handler(ReplayEndHandler handler);
// During a replay, the presented picture of each of these frames is handed to the writer:
// rows top to bottom, 4 bytes per pixel in blue, green, red, alpha order.
using FrameShotWriter = void (*)(uint64_t frame, int width, int height,
                                 const std::vector<uint8_t>& bgra);
void set_replay_shots(const std::vector<uint64_t>& frames, FrameShotWriter writer);
// Ends the recording (the rest written out, the file closed) or the replay ("replay ended at
// frame N" on standard error); later reports pass through unrecorded or stay neutral.
void recording_finish();

}  // namespace kvn::platform
