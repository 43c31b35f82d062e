// Loading: every archive picture beside one plain read of the archive; the
// start-up from the end of the intro to the first menu frame beside the bare
// library starts; and the peak memory of a whole session.
#include "bench_suites.h"

#include "archive/archive.h"
#include "bench_support.h"
#include "screens/main_menu.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "shell/shell.h"

#include <SDL/SDL_mixer.h>
#include <SDL/SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {
void archive_load_game(benchmark::State& state) {
    ShellState& s = bench_shell();
    for (auto _ : state) {
        for (int i = 0; i < INDEX_ENTRIES; ++i) {
            SDL_Surface* p = reload_pic(s.assets.indexTab, i);
            if (!p) {
                state.SkipWithError("a picture did not load");
                return;
            }
            surface_free(p);
        }
    }
}

long archive_size() {
    struct stat st;
    return stat(ARCHIVE_PATH, &st) == 0 ? long(st.st_size) : -1;
}

// Reads the whole archive into memory: the least any loading has to do.
bool read_archive_once(long size) {
    FILE* f = fopen(ARCHIVE_PATH, "rb");
    if (!f) return false;
    char* data = static_cast<char*>(malloc(size_t(size)));
    bool ok = data && fread(data, 1, size_t(size), f) == size_t(size);
    benchmark::DoNotOptimize(data);
    free(data);
    fclose(f);
    return ok;
}

void archive_load_floor(benchmark::State& state) {
    bench_shell(); // the same state of the process as the game's loads
    long size = archive_size();
    if (size <= 0) {
        state.SkipWithError("no archive");
        return;
    }
    for (auto _ : state) {
        if (!read_archive_once(size)) {
            state.SkipWithError("the archive did not read");
            return;
        }
    }
}

// From the end of the intro to the first menu frame on the screen: the
// shell's start-up, the menu's entry and its first flip. Shutting down again
// is not timed.
void start_up_game(benchmark::State& state) {
    bench_shell_down();
    set_simulated_clock(false);
    static ShellState s;
    for (auto _ : state) {
        double t0 = wall_seconds();
        shell_start_up(s);
        MainMenu m;
        main_menu_enter(m, s.screen, s.controls, s.fullscreen, &s.fatality);
        game_flip(m.screen);
        double t1 = wall_seconds();
        main_menu_leave(m);
        shell_shutdown(s);
        state.SetIterationTime(t1 - t0);
    }
}

// The libraries started as the game starts them, the window, the race font
// and one read of the archive, then one flip.
void start_up_floor(benchmark::State& state) {
    bench_shell_down();
    long size = archive_size();
    for (auto _ : state) {
        double t0 = wall_seconds();
        bool ok = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) == 0 &&
                  TTF_Init() == 0 && Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0;
        TTF_Font* font = ok ? TTF_OpenFont("font/comic.ttf", 20) : nullptr;
        SDL_Surface* screen =
            ok ? SDL_SetVideoMode(640, 240, 32, SDL_HWSURFACE | SDL_DOUBLEBUF) : nullptr;
        ok = font && screen && read_archive_once(size);
        if (ok) SDL_Flip(screen);
        double t1 = wall_seconds();
        if (font) TTF_CloseFont(font);
        Mix_CloseAudio();
        TTF_Quit();
        SDL_Quit();
        if (!ok) {
            state.SkipWithError("the libraries did not start");
            return;
        }
        state.SetIterationTime(t1 - t0);
    }
}

void session_memory(benchmark::State& state) {
    bench_shell_down(); // the session runs in a child process of its own
    for (auto _ : state) {
        double t0 = wall_seconds();
        std::string why;
        long kb = session_peak_rss_kb(why);
        state.SetIterationTime(wall_seconds() - t0);
        if (kb < 0) {
            state.SkipWithError(why.c_str());
            return;
        }
        state.counters["peak_rss_MB"] = double(kb) / 1024.0;
    }
}
} // namespace

void register_loading_benchmarks() {
    benchmark::RegisterBenchmark("archive_load/game", archive_load_game)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("archive_load/floor", archive_load_floor)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start_up/game", start_up_game)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("start_up/floor", start_up_floor)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("session/peak_memory", session_memory)
        ->Iterations(1)
        ->Repetitions(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
