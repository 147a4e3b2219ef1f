// Frame pacing: 600 presented frames at 60 frames per second with the renderer's present
// (short precise sleeps while waiting) against the literal loop it replaced (sleep while more
// than 7 ms remain, then spin with the message pump), in the same run on the same window; and
// the floor every loop pays: swap and clear with one exact sleep.
#include <GL/gl.h>
#include <kvn/kvn.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include "gfx/renderer.h"
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

// Runs one frame loop and measures the time between the ends of consecutive frames and the
// processor time of the whole process (the GL driver's threads included) per wall second.
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

// The present as it was before: the same swap and clear, then sleep while more than 7 ms
// remain (waking 3 ms early) and spin with the message pump until at most 1 ms remains.
void literal_present(VoruRERarudeve& renderer) {
    renderer.set_viewport(0, 0, 0, 0);
    platform::gl_swap(renderer.display().window());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    double now = 0.0;
    for (;;) {
        renderer.display().pump_messages(nullptr);
        now = clock_ms();
        const double remaining = renderer.display().next_frame_ms() - now;
        if (remaining > 7.0) {
            const double nap = remaining - 3.0;
            platform::sleep_ms(static_cast<uint32_t>(nap));
            now += nap;
            if (nap > 1.0) continue;
            break;
        }
        if (remaining > 1.0) continue;
        break;
    }
    Display& display = renderer.display();
    display.set_next_frame_ms(
        advance_frame_deadline(display.next_frame_ms(), display.frame_period_ms(), now));
}

void print(const char* name, const PacingFigures& f) {
    std::printf("%-32s mean %8.4f ms  p50 |err| %6.4f ms  p99 |err| %6.4f ms  cpu %6.1f ms/s\n",
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
    VoruRERarudeve& renderer = *runtime.renderer;
    const PacingFigures literal = measure([&renderer] {
        literal_present(renderer);
        renderer.start_next_frame();
    });
    const PacingFigures paced = measure([&renderer] {
        renderer.present(nullptr);
        renderer.start_next_frame();
    });
    // The floor: swap, clear and one exact sleep to the deadline, no message pumping.
    const PacingFigures floor = measure([&renderer] {
        renderer.set_viewport(0, 0, 0, 0);
        platform::gl_swap(renderer.display().window());
        glClear(GL_COLOR_BUFFER_BIT);
        platform::sleep_precise_ms(renderer.display().next_frame_ms() - clock_ms());
        Display& display = renderer.display();
        display.set_next_frame_ms(
            advance_frame_deadline(display.next_frame_ms(), display.frame_period_ms(), clock_ms()));
        renderer.start_next_frame();
    });

    std::printf("frame pacing, %d frames at 60 fps (target period %.3f ms)\n", kFrames, kTargetMs);
    print("present, short sleeps", paced);
    print("present, literal loop (baseline)", literal);
    print("swap and clear alone (floor)", floor);
    std::printf("ratio literal/short sleeps: cpu %.2fx, p99 error %.2fx\n",
                literal.cpu_ms_per_second / std::max(paced.cpu_ms_per_second, 1e-6),
                literal.p99_error_ms / std::max(paced.p99_error_ms, 1e-6));
    end_statement();
}
