// The cost of background music to the frame loop: processor time per 60 fps frame with and
// without a looping music (the player's threads included). And the time from starting a movie
// to its first frame on screen, for the first movie of the process and for later ones, taking
// the steps play_movie takes.
#include <kvn/kvn.h>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/media.h"
#include "platform/system.h"
#include "runtime/media.h"
#include "runtime/runtime_state.h"
#include "support/wav_writer.h"

using namespace kvn;

namespace {

constexpr int kFrames = 300;
constexpr int kMovies = 5;

double process_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// Processor time per frame over kFrames frames.
double frame_cpu_ms() {
    const double start = process_cpu_ms();
    for (int frame = 0; frame < kFrames; ++frame) show_screen();
    return (process_cpu_ms() - start) / kFrames;
}

// Milliseconds from opening the movie to its first frame swapped onto the screen.
double first_frame_ms(const std::string& path) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto movie = open_movie(path.c_str());
    if (!movie) return -1.0;
    movie->play();
    while (!show_movie_frame(*movie)) {
        if (Clock::now() - start > std::chrono::seconds(10)) return -1.0;
        pump_window_messages();
        platform::sleep_ms(1);
    }
    const double took = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    movie->stop();
    return took;
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "media";
}

void Game_Main() {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("kvn-bench-media-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string tune = (folder / "tune.wav").string();
    const std::string movie = (folder / "movie.avi").string();
    std::ofstream(tune, std::ios::binary) << testing_support::tone_wav(3000, 44100, 2);
    const std::string make_movie = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25:"
                                   "duration=2 -c:v mpeg4 " + movie;
    if (std::system(make_movie.c_str()) != 0) std::puts("ffmpeg failed: no movie figures");

    frame_cpu_ms();  // settle
    const double quiet = frame_cpu_ms();
    play_music(tune.c_str(), 1);
    const double with_music = frame_cpu_ms();
    stop_music();
    std::printf("frame cpu time: %.3f ms without music, %.3f ms with a looping music (x%.2f)\n",
                quiet, with_music, quiet > 0 ? with_music / quiet : 0.0);

    const double first = first_frame_ms(movie);
    double later = 1e300;
    for (int run = 1; run < kMovies; ++run) {
        const double took = first_frame_ms(movie);
        if (took >= 0 && took < later) later = took;
    }
    std::printf("movie to first frame: %.1f ms for the first movie, best later %.1f ms\n", first,
                later);
    std::filesystem::remove_all(folder);
}
