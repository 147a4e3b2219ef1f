// A complete program against kvn/kvn.h for the process tests. It reports what it sees into
// files of the folder $KVN_TEST_OUT; environment variables pick the behaviour under test.
#include <kvn/kvn.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace kvn;

namespace {

std::string out_path(const char* name) {
    const char* folder = std::getenv("KVN_TEST_OUT");
    return std::string(folder ? folder : ".") + "/" + name;
}

bool option(const char* name) {
    const char* value = std::getenv(name);
    return value && std::string(value) == "1";
}

int number_option(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value ? std::atoi(value) : fallback;
}

// Writes the text into the file, replacing it whole (a reader never sees half a file).
void report(const char* name, const std::string& text) {
    const std::string path = out_path(name);
    const std::string partial = path + ".partial";
    if (std::FILE* file = std::fopen(partial.c_str(), "w")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
        std::rename(partial.c_str(), path.c_str());
    }
}

void append_line(const char* name, const std::string& text) {
    if (std::FILE* file = std::fopen(out_path(name).c_str(), "a")) {
        std::fprintf(file, "%s\n", text.c_str());
        std::fclose(file);
    }
}

long message_hook_calls = 0;

double KVN_ON_QUIT() {
    append_line("quit_hook", "called");
    // The hook's own END runs the shutdown a second time.
    if (option("KVN_TEST_HOOK_ENDS")) end_statement();
    return 0;
}

double KVN_WIN32_MSG() {
    ++message_hook_calls;
    return 0;
}

// Loads the shooter's three sounds as the game does (from loose files, or from the archive
// named by KVN_TEST_SOUND_ARCHIVE), plays them, waits for their end and plays them again.
void play_shooter_sounds() {
    if (const char* archive = std::getenv("KVN_TEST_SOUND_ARCHIVE")) {
        set_media_archives(archive, "");
    }
    const struct {
        const char* name;
        int32_t slot;
    } sounds[] = {{"blast_a1.wav", 20}, {"blast_b1.wav", 21}, {"boom_a1.wav", 30}};
    std::string loads, handles, again;
    std::vector<int32_t> channels;
    for (const auto& sound : sounds) {
        loads += std::to_string(load_sound(sound.name, sound.slot, 1)) + " ";
    }
    for (const auto& sound : sounds) {
        channels.push_back(play_sound(sound.slot, (sound.slot - 25) / 10.0, 1));
        handles += std::to_string(channels.back()) + " ";
    }
    const auto any_playing = [&] {
        for (const int32_t channel : channels) {
            if (sound_playing(channel)) return true;
        }
        return false;
    };
    for (int frame = 0; frame < 600 && any_playing(); ++frame) show_screen();
    report("sound_ended", any_playing() ? "0" : "1");
    for (const auto& sound : sounds) again += std::to_string(play_sound(sound.slot, 0, 1)) + " ";
    report("sound_loads", loads);
    report("sound_handles", handles);
    report("sound_again", again);
}

// Shows a picture, starts drawing the next one, waits (without looking at input) until the test has prepared the
// devices and says "go", then plays the movie named by KVN_TEST_MOVIE over the picture.
void play_test_movie(const char* movie) {
    constexpr int32_t kBackdrop = 40 + 256 * 200 + 65536 * 90;
    clear_screen(kBackdrop);
    draw_rect(40, 40, 160, 80, 0xFFFFFF);
    draw_rect(440, 360, 160, 80, 0x0000FF);
    show_screen();
    // Drawn for the next frame: still there after the movie.
    draw_rect(260, 20, 120, 40, 0xFF0000);
    report("movie_ready", "1");
    while (!std::filesystem::exists(out_path("go"))) kvn::sleep(20);
    const double started = elapsed_ms();
    const int32_t result = play_movie(movie, option("KVN_TEST_MOVIE_LOOP") ? 1 : 0);
    report("movie_ms", std::to_string(static_cast<int>(elapsed_ms() - started)));
    report("movie_result", std::to_string(result));
    if (option("KVN_TEST_MOVIE_HOLD")) {
        // The frame after the movie stays on screen until the test has looked at it.
        show_screen();
        report("after_movie", "1");
        while (!std::filesystem::exists(out_path("end"))) kvn::sleep(20);
    }
}

// Limits the address space to what the program maps now plus 64 MiB, then asks for 1 GiB: a
// text ("text") or a container the program makes itself ("container"), whose failure no
// command sees.
void run_out_of_memory(const std::string& what) {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    unsigned long long pages = 0;
    if (!statm || std::fscanf(statm, "%llu", &pages) != 1) return;
    std::fclose(statm);
    rlimit limit{};
    getrlimit(RLIMIT_AS, &limit);
    limit.rlim_cur = pages * static_cast<unsigned long long>(sysconf(_SC_PAGESIZE)) + (64u << 20);
    if (setrlimit(RLIMIT_AS, &limit) != 0) return;
    report("limited", "1");
    if (what == "text") {
        StringValue text;
        text.reserve(1u << 30, false);
    } else if (what == "container") {
        std::vector<char> bytes(size_t{1} << 30);
        report("container", std::to_string(bytes.size()));
    }
}

// KVN_TEST_PICTURE=1: a known picture each frame (green, a red square at the top-left, a blue
// one at the bottom-right, a white pixel at the centre). In the third frame its pixels and a
// grab are reported before it is shown and the presented picture after; the mouse position is
// reported every frame.
void draw_test_picture(int frame, int32_t width, int32_t height) {
    clear_screen(0x00C000);
    draw_rect(0, 0, 8, 8, 0x0000FF);
    draw_rect(width - 8, height - 8, 8, 8, 0xFF0000);
    set_pixel(width / 2, height / 2, 0xFFFFFF);
    if (frame != 3) return;
    const int32_t points[][2] = {{0, 0}, {7, 7}, {8, 8}, {width / 2, height / 2},
                                 {width - 1, height - 1}, {width - 9, height - 9}};
    std::string pixels;
    for (const auto& point : points) {
        char text[16];
        std::snprintf(text, sizeof text, "%06X ", static_cast<unsigned>(get_pixel(point[0], point[1])));
        pixels += text;
    }
    report("pixels", pixels);
    grab_sprite(100, width - 16, height - 16, 16, 16);
    save_sprite(out_path("grab.bmp").c_str(), 100);
}

void report_shown_picture(int frame) {
    int32_t x = 0, y = 0, left = 0, right = 0;
    mouse_state_int(x, y, left, right);
    report("mouse", std::to_string(x) + "," + std::to_string(y));
    append_line("mouse_trace", std::to_string(frame) + ": " + std::to_string(x) + "," +
                                   std::to_string(y));
    if (frame != 3) return;
    save_screen(out_path("screen.bmp").c_str());
    // The pointer is moved to a program point: it lands where that point is shown.
    if (const char* warp = std::getenv("KVN_TEST_WARP")) {
        int32_t warp_x = 0, warp_y = 0;
        if (std::sscanf(warp, "%d,%d", &warp_x, &warp_y) == 2) {
            show_system_pointer(0);
            set_mouse_position(warp_x, warp_y);
            show_system_pointer(1);
        }
    }
    report("picture", "1");
}

}  // namespace

const SubTableEntry kvn_sub_table[] = {
    {KVN_ON_QUIT, "KVN_ON_QUIT"},
    {KVN_WIN32_MSG, "KVN_WIN32_MSG"},
    {nullptr, nullptr},
};

void Set_Project_Defaults() {
    project_settings.screen_width = 640;
    project_settings.screen_height = 480;
    project_settings.frames_per_second = 60;
    project_settings.fullscreen_flag = option("KVN_TEST_START_FULLSCREEN") ? 1 : 0;
    project_settings.debug_mode = option("KVN_TEST_DEBUG") ? 1 : 0;
    project_settings.title = "Probe";
}

void Game_Main() {
    report("cwd", std::filesystem::current_path().string());
    report("command_line", command_line().c_str());
    if (option("KVN_TEST_NO_ESCAPE")) allow_escape(0);
    if (option("KVN_TEST_SET_FULLSCREEN")) set_screen(1024, 600, 1);
    // KVN_TEST_SCREEN=WxH: that size in a window.
    if (const char* size = std::getenv("KVN_TEST_SCREEN")) {
        int32_t width = 0, height = 0;
        if (std::sscanf(size, "%dx%d", &width, &height) == 2) set_screen(width, height, 0);
    }

    if (option("KVN_TEST_FILE_REQUEST")) {
        report("file_request", file_request(1, "Pictures|*.png;*.bmp|All|*").c_str());
        report("cwd_after_dialog", std::filesystem::current_path().string());
    }
    if (option("KVN_TEST_DEBUGGER")) {
        debug_output("hello");
        debug_break(255);
        debug_break(-1);
        call_by_name("No_Such_Sub");
        call_by_name("KVN_WIN32_MSG");
    }

    if (option("KVN_TEST_SOUNDS")) play_shooter_sounds();
    if (const char* what = std::getenv("KVN_TEST_OUT_OF_MEMORY")) run_out_of_memory(what);
    if (const char* movie = std::getenv("KVN_TEST_MOVIE")) play_test_movie(movie);

    int32_t width = 0, height = 0;
    get_screen_size_int(width, height);
    report("screen", std::to_string(width) + "x" + std::to_string(height));
    report("glext", std::string(platform_info("GLEXT:glActiveTextureARB").c_str()) + " " +
                        platform_info("glext:glNoSuchEntryPointKVN").c_str());

    const int frame_limit = number_option("KVN_TEST_FRAMES", -1);
    const bool trace_keys = option("KVN_TEST_KEYS");
    const bool picture = option("KVN_TEST_PICTURE");
    for (int frame = 1; frame_limit < 0 || frame <= frame_limit; ++frame) {
        if (picture) draw_test_picture(frame, width, height);
        show_screen();
        if (picture) report_shown_picture(frame);
        // KVN_TEST_LEAVE_AT=N: back to a window of the same size at frame N.
        if (frame == number_option("KVN_TEST_LEAVE_AT", -1)) {
            set_screen(width, height, 0);
            report("left", "1");
        }
        // KVN_TEST_KEYS=1: a line "FRAME: CODE..." for each frame in which a key is down.
        std::string down;
        for (int32_t code = 0; trace_keys && code < 256; ++code) {
            if (key_down(code)) down += " " + std::to_string(code);
        }
        if (!down.empty()) append_line("keys", std::to_string(frame) + ":" + down);
        report("frames", std::to_string(frame));
        report("hook_calls", std::to_string(message_hook_calls));
        if (frame == 1) report("ready", "1");
        if (frame == 3 && option("KVN_TEST_ASSERT")) {
            set_source_position(7, 42);
            assert_value(0);
        }
    }
}
