// The machine and the process around the runtime, on SDL and POSIX: clock, environment,
// program file and command line, debugger and console, facts about the machine.
#include "platform/system.h"

#include <SDL.h>
#include <glob.h>
#include <pwd.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/files.h"
#include "platform/journal.h"

extern char** environ;

namespace kvn::platform {

namespace {

// The whole content of a small file; empty when it cannot be read.
std::string read_file(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// The text without its leading and trailing blanks and line ends.
std::string trim_blanks(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

uint32_t fnv1a_32(const void* bytes, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) {
        hash ^= static_cast<const unsigned char*>(bytes)[i];
        hash *= 16777619u;
    }
    return hash;
}

std::string home_directory() {
    std::string home = environment_value("HOME");
    if (!home.empty()) return home;
    const passwd* user = getpwuid(getuid());
    return user && user->pw_dir ? user->pw_dir : "";
}

// XDG_DOCUMENTS_DIR of the user-dirs file, $HOME expanded and quotes removed; empty when absent.
std::string xdg_documents_dir(const std::string& home) {
    std::string config = environment_value("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
    std::istringstream lines(read_file(config + "/user-dirs.dirs"));
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(lines, line)) {
        line = trim_blanks(line);
        if (line.compare(0, key.size(), key) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            value = value.substr(1, value.size() - 2);
        }
        if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
        return value;
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------- clock

uint64_t performance_counter() {
    return journal::report_counter(journal::Kind::kCounter,
                                   [] { return uint64_t{SDL_GetPerformanceCounter()}; });
}

uint64_t performance_frequency() {
    constexpr uint64_t kNanoseconds = 1000000000;
    return journal::report<uint64_t>(
        journal::Kind::kCounterFrequency, [] { return uint64_t{SDL_GetPerformanceFrequency()}; },
        [](journal::ValueWriter& w, uint64_t v) { w.u64(v); },
        [](journal::ValueReader& r) { return r.u64(); }, kNanoseconds);
}

uint32_t tick_count_ms() {
    return static_cast<uint32_t>(
        journal::report_counter(journal::Kind::kTickCount, [] { return uint64_t{SDL_GetTicks()}; }));
}

void sleep_ms(uint32_t milliseconds) {
    // A replay runs as fast as it draws unless it is asked to keep the recorded pace.
    if (journal::replaying() && !journal::replay_real_time()) return;
    if (milliseconds == 0) {
        sched_yield();
    } else {
        SDL_Delay(milliseconds);
    }
}

void sleep_precise_ms(double milliseconds) {
    if (!(milliseconds > 0.0)) return;
    if (journal::replaying() && !journal::replay_real_time()) return;
    const double seconds = milliseconds / 1000.0;
    timespec remaining{static_cast<time_t>(seconds),
                       static_cast<long>((seconds - static_cast<time_t>(seconds)) * 1e9)};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

// ---------------------------------------------------------------- environment

std::string environment_value(const char* name) {
    const char* value = name ? getenv(name) : nullptr;
    return value ? value : "";
}

std::vector<std::string> environment_entries() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry && *entry; ++entry) entries.emplace_back(*entry);
    return entries;
}

bool environment_set(const char* name, const char* value) {
    if (!name || !*name || std::strchr(name, '=')) return false;
    // "NAME=" with nothing after it removes the variable, as the original platform does.
    if (!value || !*value) return unsetenv(name) == 0;
    return setenv(name, value, 1) == 0;
}

// ---------------------------------------------------------------- program and process

std::string temp_directory() {
    std::string directory = environment_value("TMPDIR");
    if (directory.empty()) directory = "/tmp";
    if (directory.back() != '/') directory += '/';
    return directory;
}

std::string executable_path() {
    std::vector<char> buffer(4096);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) return {};
    return std::string(buffer.data(), static_cast<size_t>(length));
}

static std::string live_command_line() {
    std::string arguments = read_file("/proc/self/cmdline");
    std::string line;
    size_t start = 0;
    while (start < arguments.size()) {
        size_t end = arguments.find('\0', start);
        if (end == std::string::npos) end = arguments.size();
        std::string argument = arguments.substr(start, end - start);
        if (!line.empty()) line += ' ';
        bool quoted = argument.empty() || argument.find(' ') != std::string::npos;
        line += quoted ? '"' + argument + '"' : argument;
        start = end + 1;
    }
    return line;
}

static bool live_debugger_attached() {
    std::istringstream status(read_file("/proc/self/status"));
    std::string line;
    const std::string key = "TracerPid:";
    while (std::getline(status, line)) {
        if (line.compare(0, key.size(), key) == 0) return std::atol(line.c_str() + key.size()) != 0;
    }
    return false;
}

void debug_string(const char* text) {
    std::string line = text ? text : "";
    // The line end of the text is the line end of the output; inner breaks become blanks.
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

void open_console() {
    std::fflush(stdout);
    std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
}

// ---------------------------------------------------------------- machine information

static uint32_t live_machine_serial(uint32_t fallback) {
    std::string machine_id = trim_blanks(read_file("/etc/machine-id"));
    if (!machine_id.empty()) return fnv1a_32(machine_id.data(), machine_id.size());
    struct statvfs root {};
    if (statvfs("/", &root) == 0 && root.f_fsid != 0) {
        return fnv1a_32(&root.f_fsid, sizeof root.f_fsid);
    }
    return fallback;
}

static int live_battery_percent() {
    glob_t matches{};
    int percent = 255;
    if (glob("/sys/class/power_supply/BAT*/capacity", 0, nullptr, &matches) == 0) {
        for (size_t i = 0; i < matches.gl_pathc && percent == 255; ++i) {
            std::string text = trim_blanks(read_file(matches.gl_pathv[i]));
            char* end = nullptr;
            long value = std::strtol(text.c_str(), &end, 10);
            if (!text.empty() && *end == '\0' && value >= 0 && value <= 100) {
                percent = static_cast<int>(value);
            }
        }
    }
    globfree(&matches);
    return percent;
}

static std::string live_ui_locale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string locale = environment_value(name);
        if (!locale.empty()) return locale;
    }
    return {};
}

static std::string live_documents_folder() {
    std::string home = home_directory();
    if (home.empty()) return {};
    std::string folder = xdg_documents_dir(home);
    if (is_directory(folder)) return folder;
    folder = home + "/Documents";
    return is_directory(folder) ? folder : "";
}

static LocalTime live_local_time() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

// ---------------------------------------------------------------- reports

// What the program learns about the machine and its own process, through the recorder.

std::string command_line() {
    return journal::report_text(journal::Kind::kCommandLine, live_command_line);
}

bool debugger_attached() {
    return journal::report_flag(journal::Kind::kDebugger, live_debugger_attached);
}

uint32_t machine_serial(uint32_t fallback) {
    return static_cast<uint32_t>(journal::report_int(
        journal::Kind::kMachineSerial,
        [fallback] { return static_cast<int32_t>(live_machine_serial(fallback)); }));
}

int battery_percent() {
    return journal::report_int(journal::Kind::kBattery, live_battery_percent, 255);
}

std::string ui_locale() {
    return journal::report_text(journal::Kind::kLocale, live_ui_locale);
}

std::string documents_folder() {
    return journal::report_text(journal::Kind::kDocumentsFolder, live_documents_folder);
}

std::string program_environment_value(const char* name) {
    return journal::report_text(journal::Kind::kEnvironment,
                                [name] { return environment_value(name); });
}

std::vector<std::string> program_environment_entries() {
    using Entries = std::vector<std::string>;
    return journal::report<Entries>(
        journal::Kind::kEnvironment, environment_entries,
        [](journal::ValueWriter& w, const Entries& entries) {
            for (const std::string& entry : entries) w.raw(entry.c_str(), entry.size() + 1);
        },
        [](journal::ValueReader& r) {
            Entries entries;
            const std::string all = r.rest();
            for (size_t start = 0; start < all.size();) {
                const size_t end = all.find('\0', start);
                if (end == std::string::npos) break;
                entries.push_back(all.substr(start, end - start));
                start = end + 1;
            }
            return entries;
        },
        Entries{});
}

LocalTime local_time() {
    return journal::report<LocalTime>(
        journal::Kind::kLocalTime, live_local_time,
        [](journal::ValueWriter& w, const LocalTime& t) {
            w.i32(t.year).i32(t.month).i32(t.day).i32(t.hour).i32(t.minute).i32(t.second);
        },
        [](journal::ValueReader& r) {
            LocalTime t{};
            t.year = r.i32();
            t.month = r.i32();
            t.day = r.i32();
            t.hour = r.i32();
            t.minute = r.i32();
            t.second = r.i32();
            return t;
        },
        LocalTime{1970, 1, 1, 0, 0, 0});
}

}  // namespace kvn::platform
