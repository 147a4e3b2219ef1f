// Input costs and key latency.
// 1. The cost of one key_down and of one keyboard poll, and wait_any_input_step without input:
//    its duration (the wait's own timing is 15 passes of 5 ms, about 75 ms) and the share of a
//    core it uses, beside the former wait that polled the keyboard before each of its 255 key
//    tests, rebuilt here from the same commands as the baseline.
// 2. Key latency: 200 key presses sent with xdotool at random moments of a 60 fps frame loop;
//    the number of frames (and milliseconds) from the press to the first frame whose key_down
//    sees it. The ideal is the next frame: 1 frame, 0..16.7 ms.
#include <kvn/kvn.h>

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "best_time.h"
#include "input/input_state.h"
#include "platform/window.h"
#include "runtime/runtime_state.h"

using namespace kvn;

namespace {

constexpr int kPresses = 200;
constexpr int32_t kScanA = 30;
constexpr double kFrameMs = 1000.0 / 60.0;

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The sending side: presses the key at a random moment after being asked, and records the
// frame and time at which the press was sent.
struct Sender {
    std::atomic<int> request{0};  // 1 press, 2 release
    std::atomic<bool> done{false};
    std::atomic<long> sent_frame{0};
    std::atomic<double> sent_ms{0};
    std::atomic<bool> quit{false};
};

std::atomic<long> frame_number{0};

void send_keys(Sender& sender, Clock::time_point start) {
    // One xdotool reading commands line by line: a command reaches the X server within a
    // fraction of a millisecond of being written, without a process start in between.
    std::FILE* xdotool = popen("xdotool -", "w");
    if (!xdotool) {
        std::fputs("cannot start xdotool\n", stderr);
        return;
    }
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> phase_us(0, 16667);
    while (!sender.quit) {
        const int request = sender.request.exchange(0);
        if (request == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (request == 1) {
            std::this_thread::sleep_for(std::chrono::microseconds(phase_us(random)));
            sender.sent_frame = frame_number.load();
            sender.sent_ms = ms_since(start);
            std::fputs("keydown a\n", xdotool);
        } else {
            std::fputs("keyup a\n", xdotool);
        }
        std::fflush(xdotool);
        sender.done = true;
    }
    pclose(xdotool);
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(fraction * values.size()));
    return values[index];
}

// Runs frames until the condition holds; gives up after 600 frames.
template <typename Condition>
bool frames_until(Condition condition) {
    for (int frame = 0; frame < 600; ++frame) {
        show_screen();
        ++frame_number;
        if (condition()) return true;
    }
    return false;
}

double process_cpu_ms() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

// The former wait without input: per pass the pump, a fresh keyboard read, then a keyboard
// poll before each of the 255 key tests, the mouse and joysticks, and the 5 ms sleep.
void former_wait_any_input_step() {
    for (int pass = 0; pass < 15; ++pass) {
        pump_window_messages();
        input_frame_poll(*runtime.input_state);
        for (int32_t code = 0; code < 255; ++code) {
            if (key_down(code)) return;
        }
        int32_t x = 0, y = 0, left = 0, right = 0;
        mouse_state_int(x, y, left, right);
        for (int32_t index = joystick_count() - 1; index >= 0; --index) joystick_x(index);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

struct WaitCost {
    double wall_ms;  // per wait
    double core_percent;
};

template <typename Wait>
WaitCost measure_wait(Wait wait) {
    constexpr int kWaits = 20;
    const double cpu_start = process_cpu_ms();
    const Clock::time_point start = Clock::now();
    for (int run = 0; run < kWaits; ++run) wait();
    const double wall = ms_since(start);
    return {wall / kWaits, 100.0 * (process_cpu_ms() - cpu_start) / wall};
}

void report_costs() {
    constexpr int kCalls = 2000;
    const double key_down_us =
        bench::best_ms([] {
            for (int call = 0; call < kCalls; ++call) key_down(kScanA);
        }) * 1000.0 / kCalls;
    const double poll_us =
        bench::best_ms([] {
            for (int call = 0; call < kCalls; ++call) keyboard_poll(*runtime.input_state);
        }) * 1000.0 / kCalls;
    std::printf("one key_down %.2f us, one keyboard poll %.2f us\n", key_down_us, poll_us);

    const WaitCost now = measure_wait([] { wait_any_input_step(); });
    const WaitCost former = measure_wait(former_wait_any_input_step);
    std::printf("wait_any_input_step without input (target: about 75 ms, at most 2 %% of a core)\n");
    std::printf("  this runtime:     %6.1f ms per wait, %5.1f %% of a core\n", now.wall_ms,
                now.core_percent);
    std::printf("  former (baseline): %6.1f ms per wait, %5.1f %% of a core\n", former.wall_ms,
                former.core_percent);
    std::printf("  ratio former/this: %.1fx processor time, %.2fx duration\n",
                former.core_percent * former.wall_ms / (now.core_percent * now.wall_ms),
                former.wall_ms / now.wall_ms);
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {{nullptr, nullptr}};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.title = "input latency";
}

void Game_Main() {
    limit_fps(60);
    platform::window_raise(main_window());
    frames_until([] { return platform::window_has_input_focus(main_window()); });
    report_costs();

    const Clock::time_point start = Clock::now();
    Sender sender;
    std::thread thread(send_keys, std::ref(sender), start);
    std::vector<double> frames, milliseconds;
    for (int press = 0; press < kPresses; ++press) {
        sender.done = false;
        sender.request = 1;
        long seen_frame = 0;
        double seen_ms = 0;
        const bool seen = frames_until([&] {
            if (!key_down(kScanA)) return false;
            seen_frame = frame_number;
            seen_ms = ms_since(start);
            return true;
        });
        frames_until([&] { return sender.done.load(); });
        if (seen) {
            frames.push_back(static_cast<double>(seen_frame - sender.sent_frame));
            milliseconds.push_back(seen_ms - sender.sent_ms);
        }
        sender.done = false;
        sender.request = 2;
        frames_until([&] { return sender.done && !key_down(kScanA); });
        for (int idle = 0; idle < 2; ++idle) show_screen();
    }
    sender.quit = true;
    thread.join();

    if (frames.empty()) {
        std::puts("input latency: no press was seen (is the window focused?)");
        end_statement();
    }
    std::printf("key press (xdotool) to key_down, %zu of %d presses seen at 60 fps\n",
                frames.size(), kPresses);
    std::printf("frames: median %.0f  p99 %.0f  max %.0f   (target: the next frame, 1)\n",
                percentile(frames, 0.5), percentile(frames, 0.99), percentile(frames, 1.0));
    std::printf("ms:     median %.2f  p99 %.2f   (one frame is %.2f ms)\n",
                percentile(milliseconds, 0.5), percentile(milliseconds, 0.99), kFrameMs);
    const long next_frame =
        std::count_if(frames.begin(), frames.end(), [](double f) { return f <= 1; });
    std::printf("seen by the next frame: %ld of %zu; ratio median/target %.2fx\n", next_frame,
                frames.size(), percentile(frames, 0.5) / 1.0);
    end_statement();
}
