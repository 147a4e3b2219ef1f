// The platform layer apart from the window: dialogs, clock, processes, paths and facts about
// the machine, on SDL and POSIX.
#include <SDL.h>
#include <fcntl.h>
#include <glob.h>
#include <pwd.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/platform.h"

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

// The value of an environment variable, empty when it is not set.
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

// Starts the program (searched on PATH unless it names a path) with the caller's environment
// and working directory. Only descriptors 0, 1 and 2 reach the child; output_fd, when not -1,
// becomes its standard output. Signal mask and SIGPIPE are reset to the defaults.
bool spawn(const std::vector<std::string>& arguments, int output_fd, pid_t* pid) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    if (posix_spawn_file_actions_init(&actions) != 0) return false;
    if (posix_spawnattr_init(&attributes) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return false;
    }
    sigset_t no_signals, default_signals;
    sigemptyset(&no_signals);
    sigemptyset(&default_signals);
    sigaddset(&default_signals, SIGPIPE);
    bool ready = posix_spawnattr_setflags(&attributes,
                                          POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0 &&
                 posix_spawnattr_setsigmask(&attributes, &no_signals) == 0 &&
                 posix_spawnattr_setsigdefault(&attributes, &default_signals) == 0 &&
                 (output_fd == -1 ||
                  posix_spawn_file_actions_adddup2(&actions, output_fd, STDOUT_FILENO) == 0) &&
                 posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1) == 0;
    bool started =
        ready && posix_spawnp(pid, argv[0], &actions, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

bool on_path(const char* program) {
    std::string path = environment_value("PATH");
    if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
    std::istringstream directories(path);
    std::string directory;
    while (std::getline(directories, directory, ':')) {
        if (directory.empty()) directory = ".";
        if (access((directory + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

// Everything the descriptor delivers until end of file.
std::string read_all(int fd) {
    std::string text;
    char chunk[4096];
    for (;;) {
        ssize_t count = read(fd, chunk, sizeof chunk);
        if (count > 0) {
            text.append(chunk, static_cast<size_t>(count));
        } else if (count == 0 || errno != EINTR) {
            return text;
        }
    }
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

struct LocaleEntry {
    // language_TERRITORY, optionally followed by @modifier.
    const char* name;
    uint16_t id;
};

// POSIX locale names and their Windows language identifiers. The first entry of a language is
// its primary territory; a modifier names the script or sort order variant.
constexpr LocaleEntry kLocales[] = {
    {"ar_SA", 0x0401},
    {"ar_IQ", 0x0801},
    {"ar_EG", 0x0C01},
    {"ar_LY", 0x1001},
    {"ar_DZ", 0x1401},
    {"ar_MA", 0x1801},
    {"ar_TN", 0x1C01},
    {"ar_OM", 0x2001},
    {"ar_YE", 0x2401},
    {"ar_SY", 0x2801},
    {"ar_JO", 0x2C01},
    {"ar_LB", 0x3001},
    {"ar_KW", 0x3401},
    {"ar_AE", 0x3801},
    {"ar_BH", 0x3C01},
    {"ar_QA", 0x4001},
    {"bg_BG", 0x0402},
    {"ca_ES", 0x0403},
    {"zh_TW", 0x0404},
    {"zh_CN", 0x0804},
    {"zh_HK", 0x0C04},
    {"zh_SG", 0x1004},
    {"zh_MO", 0x1404},
    {"cs_CZ", 0x0405},
    {"da_DK", 0x0406},
    {"de_DE", 0x0407},
    {"de_CH", 0x0807},
    {"de_AT", 0x0C07},
    {"de_LU", 0x1007},
    {"de_LI", 0x1407},
    {"el_GR", 0x0408},
    {"en_US", 0x0409},
    {"en_GB", 0x0809},
    {"en_AU", 0x0C09},
    {"en_CA", 0x1009},
    {"en_NZ", 0x1409},
    {"en_IE", 0x1809},
    {"en_ZA", 0x1C09},
    {"en_JM", 0x2009},
    {"en_AG", 0x2409},
    {"en_BZ", 0x2809},
    {"en_TT", 0x2C09},
    {"en_ZW", 0x3009},
    {"en_PH", 0x3409},
    {"en_IN", 0x4009},
    {"en_MY", 0x4409},
    {"en_SG", 0x4809},
    {"es_ES", 0x0C0A},
    {"es_ES@traditional", 0x040A},
    {"es_MX", 0x080A},
    {"es_GT", 0x100A},
    {"es_CR", 0x140A},
    {"es_PA", 0x180A},
    {"es_DO", 0x1C0A},
    {"es_VE", 0x200A},
    {"es_CO", 0x240A},
    {"es_PE", 0x280A},
    {"es_AR", 0x2C0A},
    {"es_EC", 0x300A},
    {"es_CL", 0x340A},
    {"es_UY", 0x380A},
    {"es_PY", 0x3C0A},
    {"es_BO", 0x400A},
    {"es_SV", 0x440A},
    {"es_HN", 0x480A},
    {"es_NI", 0x4C0A},
    {"es_PR", 0x500A},
    {"fi_FI", 0x040B},
    {"fr_FR", 0x040C},
    {"fr_BE", 0x080C},
    {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C},
    {"fr_LU", 0x140C},
    {"fr_MC", 0x180C},
    {"he_IL", 0x040D},
    {"iw_IL", 0x040D},
    {"hu_HU", 0x040E},
    {"is_IS", 0x040F},
    {"it_IT", 0x0410},
    {"it_CH", 0x0810},
    {"ja_JP", 0x0411},
    {"ko_KR", 0x0412},
    {"nl_NL", 0x0413},
    {"nl_BE", 0x0813},
    {"nb_NO", 0x0414},
    {"no_NO", 0x0414},
    {"nn_NO", 0x0814},
    {"pl_PL", 0x0415},
    {"pt_BR", 0x0416},
    {"pt_PT", 0x0816},
    {"ro_RO", 0x0418},
    {"ru_RU", 0x0419},
    {"hr_HR", 0x041A},
    {"sk_SK", 0x041B},
    {"sq_AL", 0x041C},
    {"sv_SE", 0x041D},
    {"sv_FI", 0x081D},
    {"th_TH", 0x041E},
    {"tr_TR", 0x041F},
    {"ur_PK", 0x0420},
    {"ur_IN", 0x0820},
    {"id_ID", 0x0421},
    {"uk_UA", 0x0422},
    {"be_BY", 0x0423},
    {"sl_SI", 0x0424},
    {"et_EE", 0x0425},
    {"lv_LV", 0x0426},
    {"lt_LT", 0x0427},
    {"lt_LT@classic", 0x0827},
    {"fa_IR", 0x0429},
    {"vi_VN", 0x042A},
    {"hy_AM", 0x042B},
    {"az_AZ", 0x042C},
    {"az_AZ@cyrillic", 0x082C},
    {"eu_ES", 0x042D},
    {"mk_MK", 0x042F},
    {"af_ZA", 0x0436},
    {"ka_GE", 0x0437},
    {"fo_FO", 0x0438},
    {"hi_IN", 0x0439},
    {"ms_MY", 0x043E},
    {"ms_BN", 0x083E},
    {"kk_KZ", 0x043F},
    {"ky_KG", 0x0440},
    {"sw_KE", 0x0441},
    {"uz_UZ", 0x0443},
    {"uz_UZ@cyrillic", 0x0843},
    {"tt_RU", 0x0444},
    {"bn_IN", 0x0445},
    {"pa_IN", 0x0446},
    {"gu_IN", 0x0447},
    {"or_IN", 0x0448},
    {"ta_IN", 0x0449},
    {"te_IN", 0x044A},
    {"kn_IN", 0x044B},
    {"ml_IN", 0x044C},
    {"as_IN", 0x044D},
    {"mr_IN", 0x044E},
    {"sa_IN", 0x044F},
    {"mn_MN", 0x0450},
    {"gl_ES", 0x0456},
    {"kok_IN", 0x0457},
    {"syr_SY", 0x045A},
    {"dv_MV", 0x0465},
    {"sr_RS", 0x0C1A},
    {"sr_RS@latin", 0x081A},
    {"sr_ME", 0x0C1A},
    {"sr_ME@latin", 0x081A},
};

uint16_t find_locale(const std::string& name) {
    for (const LocaleEntry& entry : kLocales) {
        if (name == entry.name) return entry.id;
    }
    return 0;
}

// The id of the language's first (primary-territory) entry, 0 when the language is unknown.
uint16_t find_language(const std::string& language) {
    for (const LocaleEntry& entry : kLocales) {
        const char* separator = std::strchr(entry.name, '_');
        if (language.compare(0, std::string::npos, entry.name, separator - entry.name) == 0) {
            return entry.id;
        }
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------- dialogs and sound

std::string ansi_to_utf8(const char* text) {
    // Windows-1252 bytes 0x80..0x9F that are not Latin-1 controls.
    static const char16_t kHighControls[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string utf8;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text ? text : ""); *c;
         ++c) {
        const char16_t code = *c >= 0x80 && *c < 0xA0 ? kHighControls[*c - 0x80] : *c;
        if (code < 0x80) {
            utf8 += static_cast<char>(code);
        } else if (code < 0x800) {
            utf8 += static_cast<char>(0xC0 | (code >> 6));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (code >> 12));
            utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}

void message_box_warning(const char* caption, const char* text) {
    // The runtime's texts are Windows-1252; the desktop and the terminal read UTF-8.
    const std::string caption_utf8 = ansi_to_utf8(caption);
    const std::string text_utf8 = ansi_to_utf8(text);
    if (!dialogs_disabled() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption_utf8.c_str(), text_utf8.c_str(),
                                 nullptr) == 0) {
        return;
    }
    // Dialogs are off, or no dialog could be shown: the text must still reach someone.
    std::fprintf(stderr, "%s: %s\n", caption_utf8.c_str(), text_utf8.c_str());
    std::fflush(stderr);
}

void beep() {
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

bool dialogs_disabled() {
    return environment_value("KVN_NO_DIALOGS") == "1";
}

// ---------------------------------------------------------------- clock

uint64_t performance_counter() {
    return SDL_GetPerformanceCounter();
}

uint64_t performance_frequency() {
    return SDL_GetPerformanceFrequency();
}

uint32_t tick_count_ms() {
    return SDL_GetTicks();
}

void sleep_ms(uint32_t milliseconds) {
    if (milliseconds == 0) {
        sched_yield();
    } else {
        SDL_Delay(milliseconds);
    }
}

// ---------------------------------------------------------------- process and files

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

std::string command_line() {
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

std::string native_path(const char* path) {
    std::string result = path ? path : "";
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    // Trailing dots of a name are dropped; a name of dots only ("." or "..") is kept.
    size_t name_start = result.rfind('/') + 1;  // npos + 1 = 0
    size_t name_end = result.find_last_not_of('.');
    if (name_end != std::string::npos && name_end >= name_start) result.resize(name_end + 1);
    return result;
}

bool set_working_directory(const char* path) {
    return path && chdir(path) == 0;
}

std::string working_directory() {
    std::vector<char> buffer(1024);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool debugger_attached() {
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

namespace {

// Children nobody waits for; collected when they have ended, so none stays a zombie.
std::vector<pid_t> detached_children;

void collect_ended_children() {
    auto ended = [](pid_t pid) {
        int status = 0;
        return waitpid(pid, &status, WNOHANG) != 0;
    };
    detached_children.erase(
        std::remove_if(detached_children.begin(), detached_children.end(), ended),
        detached_children.end());
}

}  // namespace

void process_detach(ProcessId process) {
    detached_children.push_back(process);
    collect_ended_children();
}

bool process_start(const char* command, ProcessId* process) {
    collect_ended_children();
    pid_t pid = 0;
    if (!command || !spawn({"/bin/sh", "-c", command}, -1, &pid)) return false;
    *process = pid;
    return true;
}

int process_wait(ProcessId process) {
    int status = 0;
    while (waitpid(process, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

bool shell_open(const char* name) {
    pid_t pid = 0;
    return name && spawn({"xdg-open", name}, -1, &pid);
}

std::string file_dialog(bool open, const std::vector<FileFilter>& filters,
                        const std::string& directory) {
    if (dialogs_disabled() || !on_path("zenity")) return {};
    std::vector<std::string> arguments = {"zenity", "--file-selection"};
    if (!open) arguments.push_back("--save");
    if (!directory.empty()) {
        arguments.push_back("--filename=" + directory + (directory.back() == '/' ? "" : "/"));
    }
    for (const FileFilter& filter : filters) {
        std::string patterns = filter.patterns;
        for (char& c : patterns) {
            if (c == ';') c = ' ';
        }
        arguments.push_back("--file-filter=" + filter.description + " | " + patterns);
    }

    int pipe_ends[2];
    if (pipe2(pipe_ends, O_CLOEXEC) != 0) return {};
    pid_t pid = 0;
    bool started = spawn(arguments, pipe_ends[1], &pid);
    close(pipe_ends[1]);
    std::string chosen = started ? read_all(pipe_ends[0]) : "";
    close(pipe_ends[0]);
    if (!started || process_wait(pid) != 0) return {};
    while (!chosen.empty() && (chosen.back() == '\n' || chosen.back() == '\r')) chosen.pop_back();
    return chosen;
}

// ---------------------------------------------------------------- machine information

uint32_t machine_serial(uint32_t fallback) {
    std::string machine_id = trim_blanks(read_file("/etc/machine-id"));
    if (!machine_id.empty()) return fnv1a_32(machine_id.data(), machine_id.size());
    struct statvfs root {};
    if (statvfs("/", &root) == 0 && root.f_fsid != 0) {
        return fnv1a_32(&root.f_fsid, sizeof root.f_fsid);
    }
    return fallback;
}

int battery_percent() {
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

uint16_t ui_language_id() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string locale = environment_value(name);
        if (!locale.empty()) return language_id_from_locale(locale.c_str());
    }
    return 0;
}

uint16_t language_id_from_locale(const char* locale) {
    std::string name = locale ? locale : "";
    size_t modifier_start = name.find('@');
    std::string modifier = modifier_start == std::string::npos ? "" : name.substr(modifier_start);
    name = name.substr(0, std::min(name.find('.'), modifier_start));
    if (name.empty() || name == "C" || name == "POSIX") return 0;

    size_t separator = name.find_first_of("_-");
    std::string language = name.substr(0, separator);
    std::string territory = separator == std::string::npos ? "" : name.substr(separator + 1);
    for (char& c : language) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : territory) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    std::string full = language + "_" + territory;
    if (uint16_t id = find_locale(full + modifier)) return id;
    if (uint16_t id = find_locale(full)) return id;
    // A language alone, or with a territory not in the table, counts as its primary territory.
    return find_language(language);
}

std::string documents_folder() {
    std::string home = home_directory();
    if (home.empty()) return {};
    std::string folder = xdg_documents_dir(home);
    if (is_directory(folder)) return folder;
    folder = home + "/Documents";
    return is_directory(folder) ? folder : "";
}

LocalTime local_time() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
            parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace kvn::platform
