// Recording and replay as the environment asks for them, and the saving of replay shots.
#include "runtime/recording_switches.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "image/image_writers.h"
#include "kvn/base.h"
#include "kvn/runtime.h"
#include "platform/files.h"
#include "platform/recording.h"
#include "platform/system.h"

namespace kvn {

namespace {

std::string shot_directory;

bool parse_number(const std::string& text, uint64_t limit, uint64_t* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long number = std::strtoull(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || number > limit) return false;
    *value = number;
    return true;
}

void save_shot(uint64_t frame, int width, int height, const std::vector<uint8_t>& bgra) {
    SavedPicture picture;
    picture.width = width;
    picture.height = height;
    picture.bgra = bgra;
    std::vector<uint8_t> file;
    const std::string path =
        shot_directory + "/frame-" + std::to_string(static_cast<unsigned long long>(frame)) + ".png";
    if (!encode_png(picture, &file) || !platform::replace_file(path, file.data(), file.size())) {
        std::fprintf(stderr, "kvn: the replay shot %s could not be saved\n", path.c_str());
    }
}

// The replay has used up its recording: the program ends as it always does.
void end_replayed_program() {
    set_error(0);
    end_program();
}

}  // namespace

bool parse_replay_shots(const std::string& text, ReplayShots* shots) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
    ReplayShots parsed;
    parsed.directory = text.substr(0, colon);
    size_t start = colon + 1;
    for (;;) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? comma : comma - start);
        uint64_t frame = 0;
        if (!parse_number(item, UINT64_MAX, &frame) || frame == 0) return false;
        parsed.frames.push_back(frame);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *shots = std::move(parsed);
    return true;
}

bool parse_check_interval(const std::string& text, uint32_t* interval) {
    uint64_t value = 0;
    if (!parse_number(text, UINT32_MAX, &value)) return false;
    *interval = static_cast<uint32_t>(value);
    return true;
}

void start_recording_or_replay() {
    const std::string record = platform::environment_value("KVN_RECORD");
    const std::string replay = platform::environment_value("KVN_REPLAY");
    if (!replay.empty()) {
        if (!record.empty()) {
            std::fprintf(stderr, "kvn: KVN_RECORD is ignored while KVN_REPLAY runs a replay\n");
        }
        platform::replay_start(replay, platform::environment_value("KVN_REPLAY_SPEED") == "1");
        platform::set_replay_end_handler(end_replayed_program);
        const std::string shots_text = platform::environment_value("KVN_REPLAY_SHOTS");
        ReplayShots shots;
        if (shots_text.empty()) return;
        if (!parse_replay_shots(shots_text, &shots)) {
            std::fprintf(stderr, "kvn: KVN_REPLAY_SHOTS is not DIR:N,M,...; no shots are saved\n");
            return;
        }
        if (!platform::is_directory(shots.directory)) platform::make_directory(shots.directory);
        shot_directory = shots.directory;
        platform::set_replay_shots(shots.frames, save_shot);
        return;
    }
    if (record.empty()) return;
    uint32_t interval = 1;
    const std::string check = platform::environment_value("KVN_RECORD_CHECK");
    if (!check.empty() && !parse_check_interval(check, &interval)) {
        std::fprintf(stderr, "kvn: KVN_RECORD_CHECK is not a whole number; every frame is checked\n");
        interval = 1;
    }
    platform::recording_start(record, interval);
}

void note_run_for_recording() {
    platform::RunFacts facts;
    facts.runtime_version = KVN_RUNTIME_VERSION;
    facts.screen_width = project_settings.screen_width;
    facts.screen_height = project_settings.screen_height;
    facts.colour_bits = 0;
    facts.frames_per_second = project_settings.frames_per_second;
    facts.fullscreen = project_settings.fullscreen_flag != 0;
    platform::recording_note_run(facts);
}

}  // namespace kvn
