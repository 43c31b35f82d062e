#include "bench_support.h"

#include "shell/clock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {
std::string scratchPath;
ShellState shell;
bool shellUp = false;

bool copy_file(const std::string& from, const std::string& to) {
    FILE* in = fopen(from.c_str(), "rb");
    if (!in) return false;
    FILE* out = fopen(to.c_str(), "wb");
    if (!out) {
        fclose(in);
        return false;
    }
    char buf[4096];
    size_t n;
    bool ok = true;
    while ((n = fread(buf, 1, sizeof buf, in)) > 0)
        ok = ok && fwrite(buf, 1, n, out) == n;
    fclose(in);
    return fclose(out) == 0 && ok;
}

// Links the read-only parts of the tree and copies the record files, which
// the game rewrites.
bool fill_tree(const std::string& to) {
    const BenchSettings& s = bench_settings();
    for (const char* part : {"pics", "sounds", "font"}) {
        std::string target = s.gameDir + "/" + part;
        if (symlink(target.c_str(), (to + "/" + part).c_str()) != 0) return false;
    }
    if (mkdir((to + "/data").c_str(), 0755) != 0) return false;
    for (const char* file : {"control.dat", "scores.dat", "hall.dat"})
        if (!copy_file(s.dataDir + "/" + file, to + "/data/" + file)) return false;
    return true;
}

std::string file_text(const std::string& path) {
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    return text;
}

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

void remove_tree(const std::string& path) {
    if (!path.empty()) nftw(path.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

void push_event(SDL_Event& ev) {
    SDL_PushEvent(&ev);
}

// A whole session as a player plays it. The intro runs whole (about 23 s of
// simulated time); every key before 30 s would only be swallowed by it.
bool write_session_script(const std::string& path) {
    FILE* f = fopen(path.c_str(), "w");
    if (!f) return false;
    fprintf(f, "frame-time 10\n"
               "at 30000 key f2\n" // controls screen
               "after 300 key down\n"
               "after 300 key space\n"
               "after 300 key space\n"
               "after 300 key escape\n"
               "after 300 key f3\n" // hall of fame
               "after 800 key escape\n"
               "after 300 key return\n"); // one player, the mouse player
    // The count runs about 4 s; then a click every 30 ms wins in about 6 s.
    for (int i = 0; i < 260; ++i)
        fprintf(f, "at %d click\n", 37000 + 30 * i);
    fprintf(f, "at 50000 key escape\n" // offers the time to the hall of fame
               "after 5000 key return\n"
               "after 1000 quit\n");
    return fclose(f) == 0;
}
} // namespace

BenchSettings& bench_settings() {
    static BenchSettings settings = {"", "", "", 3.0};
    return settings;
}

bool scratch_tree_make() {
    char path[] = "/tmp/vrillon_bench.XXXXXX";
    if (!mkdtemp(path)) {
        fprintf(stderr, "vrillon_bench: cannot make a scratch directory\n");
        return false;
    }
    scratchPath = path;
    if (!fill_tree(scratchPath) || chdir(scratchPath.c_str()) != 0) {
        const BenchSettings& s = bench_settings();
        fprintf(stderr, "vrillon_bench: cannot lay out %s from %s and %s\n", path,
                s.gameDir.c_str(), s.dataDir.c_str());
        return false;
    }
    return true;
}

void scratch_tree_remove() {
    if (chdir("/") != 0) return;
    remove_tree(scratchPath);
    scratchPath.clear();
}

ShellState& bench_shell() {
    if (!shellUp) {
        set_simulated_clock(false);
        shell_start_up(shell);
        shellUp = true;
    }
    return shell;
}

void bench_shell_down() {
    if (!shellUp) return;
    shell_shutdown(shell);
    shellUp = false;
}

void bench_push_key(SDLKey sym) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.state = SDL_PRESSED;
    ev.key.keysym.sym = sym;
    push_event(ev);
}

void bench_push_click() {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = SDL_BUTTON_LEFT;
    ev.button.state = SDL_PRESSED;
    push_event(ev);
}

double process_cpu_seconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

double wall_seconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct QuitTimer {
    std::thread thread;
};

QuitTimer* quit_after(double seconds) {
    QuitTimer* t = new QuitTimer;
    t->thread = std::thread([seconds] {
        timespec pause = {time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
        nanosleep(&pause, nullptr);
        // SDL 1.2 guards its event queue with a lock: pushing from here is safe.
        SDL_Event ev;
        memset(&ev, 0, sizeof ev);
        ev.type = SDL_QUIT;
        SDL_PushEvent(&ev);
    });
    return t;
}

void quit_timer_join(QuitTimer* t) {
    if (!t) return;
    t->thread.join();
    delete t;
}

long session_peak_rss_kb(std::string& why) {
    const BenchSettings& s = bench_settings();
    if (access(s.sessionRunner.c_str(), X_OK) != 0) {
        why = "no session_runner at " + s.sessionRunner;
        return -1;
    }
    char path[] = "/tmp/vrillon_session.XXXXXX";
    if (!mkdtemp(path)) {
        why = "cannot make a scratch directory";
        return -1;
    }
    std::string dir = path;
    std::string script = dir + "/session.txt";
    if (!fill_tree(dir) || !write_session_script(script)) {
        remove_tree(dir);
        why = "cannot lay out the session's tree";
        return -1;
    }
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        execl(s.sessionRunner.c_str(), s.sessionRunner.c_str(), script.c_str(), (char*)nullptr);
        _exit(127);
    }
    long peak = -1;
    if (pid < 0) {
        why = "cannot start session_runner";
    } else {
        int status = 0;
        rusage ru{};
        if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
            why = "the session did not end normally";
        else if (file_text(dir + "/data/hall.dat") == file_text(s.dataDir + "/hall.dat"))
            why = "the session's race did not reach the hall of fame";
        else
            peak = ru.ru_maxrss;
    }
    remove_tree(dir);
    return peak;
}
