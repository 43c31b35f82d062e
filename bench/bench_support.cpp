#include "bench_support.h"

#include "common/run_tree.h"
#include "common/sdl_events.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>

namespace {
std::string scratchPath;
ShellState shell;
bool shellUp = false;

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

RunTreeSource bench_source() {
    const BenchSettings& s = bench_settings();
    return RunTreeSource{s.gameDir, s.dataDir};
}
} // namespace

BenchSettings& bench_settings() {
    static BenchSettings settings = {"", "", "", 3.0};
    return settings;
}

bool scratch_tree_make() {
    scratchPath = run_tree_make("vrillon_bench", RUN_TREE_ALL, bench_source());
    std::error_code err;
    if (!scratchPath.empty())
        std::filesystem::current_path(std::filesystem::u8path(scratchPath), err);
    if (scratchPath.empty() || err) {
        const BenchSettings& s = bench_settings();
        fprintf(stderr, "vrillon_bench: cannot lay out a scratch tree from %s and %s\n",
                s.gameDir.c_str(), s.dataDir.c_str());
        return false;
    }
    return true;
}

void scratch_tree_remove() {
    // Out of the tree first: a folder in use cannot be removed everywhere.
    std::error_code err;
    std::filesystem::current_path(std::filesystem::temp_directory_path(err), err);
    if (err) return;
    run_tree_remove(scratchPath);
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

double wall_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct QuitTimer {
    std::thread thread;
};

QuitTimer* quit_after(double seconds) {
    QuitTimer* t = new QuitTimer;
    t->thread = std::thread([seconds] {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        push_quit();
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
    std::string dir = run_tree_make("vrillon_session", RUN_TREE_ALL, bench_source());
    std::string script = dir + "/session.txt";
    if (dir.empty() || !write_session_script(script)) {
        run_tree_remove(dir);
        why = "cannot lay out the session's tree";
        return -1;
    }
    long peak = child_peak_memory_kb(s.sessionRunner, script, dir, why);
    if (peak >= 0 && file_text(dir + "/data/hall.dat") == file_text(s.dataDir + "/hall.dat")) {
        why = "the session's race did not reach the hall of fame";
        peak = -1;
    }
    run_tree_remove(dir);
    return peak;
}
