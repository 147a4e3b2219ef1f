// A complete program against kvn/kvn.h for the record and replay test. Every frame it appends
// what it read from outside (clock, sound, keys, typed characters, mouse, random numbers) to
// $KVN_TEST_OUT/trace and draws a picture that depends on those readings; at frame
// kWaitFrame it reports "waiting" and waits for a key. It ends itself after kFrames frames.
// KVN_TEST_EXTRA_READ=1 adds one keyboard read at frame kExtraReadFrame.
#include <kvn/kvn.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace kvn;

namespace {

constexpr int kFrames = 120;
constexpr int kWaitFrame = 40;
constexpr int kSecondPlayFrame = 70;
constexpr int kExtraReadFrame = 90;
constexpr int kSoundSlot = 5;

std::string out_path(const char* name) {
    const char* folder = std::getenv("KVN_TEST_OUT");
    return std::string(folder ? folder : ".") + "/" + name;
}

void report(const char* name, const char* text) {
    const std::string path = out_path(name);
    const std::string partial = path + ".partial";
    if (std::FILE* file = std::fopen(partial.c_str(), "w")) {
        std::fputs(text, file);
        std::fclose(file);
        std::rename(partial.c_str(), path.c_str());
    }
}

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void trace(const char* format, ...) {
    std::FILE* file = std::fopen(out_path("trace").c_str(), "a");
    if (!file) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputc('\n', file);
    std::fclose(file);
}

void put_u16(std::FILE* file, uint32_t value) {
    std::fputc(static_cast<int>(value & 0xFF), file);
    std::fputc(static_cast<int>((value >> 8) & 0xFF), file);
}

void put_u32(std::FILE* file, uint32_t value) {
    put_u16(file, value & 0xFFFF);
    put_u16(file, value >> 16);
}

// A 0.3 s square-wave tone, 22050 Hz mono 16 bit: the same bytes on every run.
std::string write_tone() {
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder && *folder ? folder : "/tmp/") + "/replay_tone.wav";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return path;
    constexpr uint32_t kRate = 22050, kSamples = kRate * 3 / 10, kDataBytes = kSamples * 2;
    std::fputs("RIFF", file);
    put_u32(file, 36 + kDataBytes);
    std::fputs("WAVEfmt ", file);
    put_u32(file, 16);
    put_u16(file, 1);  // PCM
    put_u16(file, 1);  // mono
    put_u32(file, kRate);
    put_u32(file, kRate * 2);
    put_u16(file, 2);
    put_u16(file, 16);
    std::fputs("data", file);
    put_u32(file, kDataBytes);
    for (uint32_t i = 0; i < kSamples; ++i) put_u16(file, (i / 25) % 2 ? 0x2000 : 0xE000);
    std::fclose(file);
    return path;
}

// Scan codes of the keys traced: A, S, space, Return, Left.
constexpr int32_t kKeys[] = {30, 31, 57, 28, 203};

void trace_frame(int frame, int32_t channel) {
    const double elapsed = elapsed_ms();
    const double step = frame_time();
    const int32_t playing = sound_playing(channel);
    int32_t keys = 0;
    for (const int32_t key : kKeys) keys = keys * 2 + key_down(key);
    if (frame == kExtraReadFrame && std::getenv("KVN_TEST_EXTRA_READ") &&
        std::string(std::getenv("KVN_TEST_EXTRA_READ")) == "1") {
        keys += 0 * key_down(32);
    }
    const int32_t typed = inkey_char();
    int32_t x = 0, y = 0, left = 0, right = 0;
    mouse_state_int(x, y, left, right);
    const int32_t dice = random_int(1000);
    trace("frame %d elapsed %.17g step %.17g playing %d keys %d typed %d mouse %d %d %d %d "
          "random %d",
          frame, elapsed, step, playing, keys, typed, x, y, left, right, dice);

    // The picture follows the readings: a bar per value.
    clear_screen(static_cast<int32_t>(static_cast<int64_t>(elapsed) % 200) * 256);
    draw_rect(frame * 2 % 320, 10, 8, 40, 0xFFFFFF);
    draw_rect(10, 60, 10 + dice % 300, 10, 0xFF0000);
    draw_rect(10, 80, 10 + keys * 8, 10, 0x00FF00);
    draw_rect(10, 100, playing ? 100 : 20, 10, 0x0000FF);
    draw_rect(10, 120, 10 + typed % 256, 10, 0xFFFF00);
    draw_rect(x % 320, y % 240, 4, 4, 0xFF00FF);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 320;
    project_settings.screen_height = 240;
    project_settings.frames_per_second = 60;
    project_settings.fullscreen_flag = 0;
    project_settings.title = "Replay";
}

void Game_Main() {
    const std::string tone = write_tone();
    trace("load %d", load_sound(tone.c_str(), kSoundSlot, 1));
    int32_t channel = play_sound(kSoundSlot, 0, 1);
    trace("play %d free %d", channel, find_free_sound_slot());
    for (int frame = 1; frame <= kFrames; ++frame) {
        trace_frame(frame, channel);
        if (frame == kWaitFrame) {
            report("waiting", "1");
            const double before = elapsed_ms();
            wait_key();
            trace("waited from %.17g to %.17g", before, elapsed_ms());
        }
        if (frame == kSecondPlayFrame) {
            channel = play_sound(kSoundSlot, -0.5, 0.5);
            trace("play again %d free %d", channel, find_free_sound_slot());
        }
        show_screen();
        if (frame == 1) report("ready", "1");
    }
    end_program();
}
