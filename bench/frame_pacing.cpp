// Frame pacing: 600 presented frames at limit_fps(60) against a naive 16 ms sleep loop.
#include <GL/gl.h>
#include <kvn/kvn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "platform/system.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

constexpr int kFrames = 600;
constexpr double kTargetMs = 1000.0 / 60.0;

struct PacingFigures {
    double mean_period_ms;
    double p50_error_ms;
    double p99_error_ms;
    double cpu_ms_per_second;
};

// Runs one frame loop and measures the time between the ends of consecutive frames.
template <typename Frame>
PacingFigures measure(Frame frame) {
    frame();
    std::vector<double> periods;
    periods.reserve(kFrames);
    const std::clock_t cpu_start = std::clock();
    const double wall_start = clock_ms();
    double previous = wall_start;
    for (int i = 0; i < kFrames; ++i) {
        frame();
        const double now = clock_ms();
        periods.push_back(now - previous);
        previous = now;
    }
    const double wall_ms = previous - wall_start;
    const double cpu_ms = 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;

    double sum = 0;
    std::vector<double> errors;
    for (double period : periods) {
        sum += period;
        errors.push_back(std::fabs(period - kTargetMs));
    }
    std::sort(errors.begin(), errors.end());
    return {sum / kFrames, errors[errors.size() / 2], errors[errors.size() * 99 / 100],
            cpu_ms / (wall_ms / 1000.0)};
}

void print(const char* name, const PacingFigures& f) {
    std::printf("%-22s mean %8.4f ms  p50 |err| %7.4f ms  p99 |err| %7.4f ms  cpu %6.1f ms/s\n",
                name, f.mean_period_ms, f.p50_error_ms, f.p99_error_ms, f.cpu_ms_per_second);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "frame pacing";
}

void Game_Main() {
    limit_fps(60);
    const PacingFigures paced = measure([] { show_screen(); });
    platform::Window* window = main_window();
    const PacingFigures naive = measure([window] {
        platform::gl_swap(window);
        glClear(GL_COLOR_BUFFER_BIT);
        platform::sleep_ms(16);
    });

    std::printf("frame pacing, %d frames at 60 fps (target period %.3f ms)\n", kFrames, kTargetMs);
    print("show_screen", paced);
    print("naive SDL_Delay(16)", naive);
    std::printf("ratio naive/show_screen: p99 error %.2fx, mean offset %.2fx\n",
                naive.p99_error_ms / std::max(paced.p99_error_ms, 1e-6),
                std::fabs(naive.mean_period_ms - kTargetMs) /
                    std::max(std::fabs(paced.mean_period_ms - kTargetMs), 1e-6));
    end_statement();
}
