// Recording and replay of the game: (a) the cost of a frame of the crowded scene while
// recording (checksums off) against the same frames without, in alternating runs; (b) a paced
// minute of the game as it is mostly played (a few enemies and shots) recorded, then replayed
// without pacing: how much faster than real time, and how many bytes a minute of play takes,
// with checksums off and on every frame.
//
// Without BENCH_REPLAY_ROLE the program is the driver and starts itself as the runs.
#include <kvn/kvn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "../game/game.h"
#include "crowded_scene.h"

using namespace kvn;

namespace {

constexpr int kFrames = 600;
constexpr int kRounds = 3;

std::string role() {
    const char* value = std::getenv("BENCH_REPLAY_ROLE");
    return value ? value : "";
}

double seconds_of_play() {
    const char* value = std::getenv("BENCH_REPLAY_SECONDS");
    return value ? std::atof(value) : 60.0;
}

double cpu_ms() {
    return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// One frame of the game's loop over a scene of these counts.
void scene_frame(const SceneCounts& counts = kCrowded) {
    fill_scene(counts);
    Process_Master();
    Draw_Screen();
    Draw_FPS();
    show_screen();
}

// Role "frames": the crowded scene unpaced; prints wall and CPU milliseconds per frame.
void run_frames() {
    limit_fps(1e6);
    random_seed(7);
    fill_scene();
    for (int frame = 0; frame < 30; ++frame) scene_frame();
    const double start = clock_ms(), start_cpu = cpu_ms();
    for (int frame = 0; frame < kFrames; ++frame) scene_frame();
    std::printf("frame %.4f %.4f\n", (clock_ms() - start) / kFrames,
                (cpu_ms() - start_cpu) / kFrames);
}

// Role "play": the scene as played, paced at 60 frames per second for the seconds of play.
void run_play() {
    random_seed(7);
    const double end = elapsed_ms() + seconds_of_play() * 1000.0;
    while (elapsed_ms() < end) scene_frame(kPlayed);
}

struct Run {
    double wall_s = 0;
    std::string output;
};

// Runs this program once more with the environment words in front.
Run run_self(const std::string& environment) {
    char self[4096] = {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) <= 0) std::exit(1);
    const std::string out = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp/") +
                            "bench_replay_out.txt";
    const std::string command =
        "env " + environment + " '" + self + "' >'" + out + "' 2>/dev/null";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    Run run;
    run.wall_s =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status != 0) std::fprintf(stderr, "bench_replay: a run ended with %d\n", status);
    if (std::FILE* file = std::fopen(out.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, file)) run.output += line;
        std::fclose(file);
    }
    return run;
}

bool frame_figures(const Run& run, double* wall, double* cpu) {
    const size_t at = run.output.find("frame ");
    return at != std::string::npos &&
           std::sscanf(run.output.c_str() + at, "frame %lf %lf", wall, cpu) == 2;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

long file_size(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : -1;
}

void drive() {
    const std::string folder =
        std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp/");
    const std::string frames_recording = folder + "bench_frames.kvr";
    const std::string play_recording = folder + "bench_play.kvr";

    std::vector<double> plain_wall, plain_cpu, recorded_wall, recorded_cpu;
    for (int round = 0; round < kRounds; ++round) {
        double wall = 0, cpu = 0;
        if (frame_figures(run_self("BENCH_REPLAY_ROLE=frames"), &wall, &cpu)) {
            plain_wall.push_back(wall);
            plain_cpu.push_back(cpu);
        }
        if (frame_figures(run_self("BENCH_REPLAY_ROLE=frames KVN_RECORD_CHECK=0 KVN_RECORD='" +
                                   frames_recording + "'"),
                          &wall, &cpu)) {
            recorded_wall.push_back(wall);
            recorded_cpu.push_back(cpu);
        }
    }
    std::printf("crowded scene (%d enemies, %d shots), %d frames unpaced, median of %d "
                "alternating runs:\n",
                kCrowded.enemies, kCrowded.shots, kFrames, kRounds);
    std::printf("  without recording: %.3f ms/frame wall, %.3f ms/frame CPU\n",
                median(plain_wall), median(plain_cpu));
    std::printf("  recording (checksums off): %.3f ms/frame wall, %.3f ms/frame CPU\n",
                median(recorded_wall), median(recorded_cpu));
    std::printf("  ratio recording/plain: %.3fx wall, %.3fx CPU (aim: at most 1.02x)\n",
                median(recorded_wall) / median(plain_wall), median(recorded_cpu) / median(plain_cpu));

    const double seconds = seconds_of_play();
    char play_environment[64];
    std::snprintf(play_environment, sizeof play_environment, "BENCH_REPLAY_SECONDS=%g", seconds);
    const std::string play = std::string("BENCH_REPLAY_ROLE=play ") + play_environment;
    const Run recorded =
        run_self(play + " KVN_RECORD_CHECK=0 KVN_RECORD='" + play_recording + "'");
    const long size = file_size(play_recording);
    const Run replayed = run_self(play + " KVN_REPLAY='" + play_recording + "'");
    const Run checked = run_self(play + " KVN_RECORD_CHECK=1 KVN_RECORD='" + play_recording + "'");
    const long checked_size = file_size(play_recording);
    const Run checked_replay = run_self(play + " KVN_REPLAY='" + play_recording + "'");
    std::printf("the game as played (%d enemies, %d shots), paced, %.0f s (process %.1f s):\n",
                kPlayed.enemies, kPlayed.shots, seconds, recorded.wall_s);
    std::printf("  checksums off: replayed without pacing in %.1f s, %.2fx real time; "
                "%ld bytes, %.1f KB per minute of play (aim: under 100 KB)\n",
                replayed.wall_s, recorded.wall_s / replayed.wall_s, size,
                size / 1024.0 / (seconds / 60.0));
    std::printf("  a checksum every frame: replayed and compared in %.1f s, %.2fx real time; "
                "%ld bytes, %.1f KB per minute\n",
                checked_replay.wall_s, checked.wall_s / checked_replay.wall_s, checked_size,
                checked_size / 1024.0 / (seconds / 60.0));
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 1024;
    project_settings.screen_height = 600;
    project_settings.frames_per_second = 60;
    project_settings.title = "Velkadorn replay benchmark";
}

void Game_Main() {
    const std::string this_role = role();
    if (this_role.empty()) {
        drive();
    } else {
        Game_Start();
        Game_Frame();
        if (this_role == "frames") run_frames();
        if (this_role == "play") run_play();
    }
    std::fflush(stdout);
    end_statement();
}
