// Child processes on POSIX: posix_spawn, waitpid and the desktop's opener.
#include "platform/process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "platform/journal.h"
#include "platform/spawn.h"
#include "platform/system.h"

extern char** environ;

namespace kvn::platform {

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
    const int result =
        ready ? posix_spawnp(pid, argv[0], &actions, &attributes, argv.data(), environ) : EINVAL;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        std::fprintf(stderr, "kvn: cannot start %s: %s\n", argv[0], std::strerror(result));
    }
    return result == 0;
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

// A replay starts no process: the program gets the recorded answers, and whatever the
// process wrote shows up as a file whose hash the replay checks when it is read.
void process_detach(ProcessId process) {
    if (journal::replaying()) return;
    detached_children.push_back(process);
    collect_ended_children();
}

bool process_start(const char* command, ProcessId* process) {
    struct Started {
        bool started = false;
        ProcessId pid = 0;
    };
    const Started result = journal::report<Started>(
        journal::Kind::kProcessStart,
        [command] {
            Started live;
            collect_ended_children();
            pid_t pid = 0;
            live.started = command && spawn({"/bin/sh", "-c", command}, -1, &pid);
            live.pid = pid;
            return live;
        },
        [](journal::ValueWriter& w, const Started& v) { w.u8(v.started ? 1 : 0).i32(v.pid); },
        [](journal::ValueReader& r) {
            Started v;
            v.started = r.u8() != 0;
            v.pid = r.i32();
            return v;
        },
        Started{});
    if (!result.started) return false;
    *process = result.pid;
    return true;
}

int process_wait(ProcessId process) {
    return journal::report_int(
        journal::Kind::kProcessWait,
        [process] {
            int status = 0;
            while (waitpid(process, &status, 0) < 0) {
                if (errno != EINTR) return -1;
            }
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            return WEXITSTATUS(status);
        },
        -1);
}

bool shell_open(const char* name) {
    return journal::report_flag(journal::Kind::kShellOpen, [name] {
        pid_t pid = 0;
        return name && spawn({"xdg-open", name}, -1, &pid);
    });
}

}  // namespace kvn::platform
