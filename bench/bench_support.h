// What every benchmark shares: a scratch run-time tree, the game's shell
// started as the game starts it after its intro, and the helpers of the idle
// and memory measurements, which run the real loops in real time.
#pragma once

#include "shell/shell.h"

#include <SDL/SDL.h>
#include <string>

// Settings from the command line (bench_main.cpp).
struct BenchSettings {
    std::string gameDir;       // the built run-time tree: pictures, sounds, fonts
    std::string dataDir;       // fresh record files, so that every run starts alike
    std::string sessionRunner; // the session_runner program
    double idleSeconds;        // how long each idle screen is watched
};
BenchSettings& bench_settings();

// Makes a scratch run-time tree (common/run_tree.h) from the settings' game
// and data folders and makes it the working directory. False with a message
// on standard error on failure.
bool scratch_tree_make();
void scratch_tree_remove();

// The shell as the game has it once started: window, samples, font, race
// pictures. Started on first use and kept until bench_shell_down.
ShellState& bench_shell();
void bench_shell_down();

// CPU time of the whole process (every thread, user and system) and a
// monotonic wall clock, both in seconds.
double process_cpu_seconds();
double wall_seconds();

// Runs `PROGRAM SCRIPT` in folder dir, headless, its output thrown away, and
// gives its peak memory in kB, or -1 with the reason in `why` when it could not
// run or did not end normally. The system's own part (bench_support_posix.cpp,
// bench_support_win32.cpp), with process_cpu_seconds.
long child_peak_memory_kb(const std::string& program, const std::string& script,
                          const std::string& dir, std::string& why);

// Pushes SDL_QUIT after the given time from a helper thread, so a loop that
// sleeps inside SDL can be watched in real time and then ended as a player
// would end it.
struct QuitTimer;
QuitTimer* quit_after(double seconds);
void quit_timer_join(QuitTimer* t);

// Plays a scripted whole session (intro, menu, controls screen, hall of
// fame, a race won into the hall of fame, the name entry, quit) in a child
// session_runner, in a scratch tree of its own. Gives its peak resident
// memory in kB, or -1 with the reason in `why`.
long session_peak_rss_kb(std::string& why);
