// The new-record screen's frames beside their floors, on the simulated clock
// so that the screen's fixed 20 ms waits cost nothing; and the processor use
// of the screens that wait for the player, watched in real time.
#include "bench_suites.h"

#include "bench_support.h"
#include "common/sdl_events.h"
#include "input/controls_screen.h"
#include "screens/hall_screen.h"
#include "screens/main_menu.h"
#include "screens/new_record.h"
#include "platform/clock.h"
#include "platform/system.h"

#include <SDL/SDL_rotozoom.h>
#include <SDL/SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstring>

namespace {
const SDL_Color WHITE = {255, 255, 255, 0};
constexpr double FINAL_ZOOM = 3.7;

// The screen as it stands once the portrait has zoomed in: the name entry.
struct EntryScene {
    HallEntry entry;
    RecordScreen r;
};

bool scene_open(EntryScene& e, ShellState& s) {
    memset(&e, 0, sizeof e);
    memcpy(e.entry.name, "aaa", 4);
    e.entry.time_ms = 31500.0f;
    e.entry.character = 2;
    RecordScreen& r = e.r;
    r.screen = s.screen;
    r.portrait = s.assets.portraits[e.entry.character];
    r.font = font_open("font/comic.ttf", 40);
    if (!r.font) return false;
    r.final = surface_made(rotozoomSurface(r.portrait, 0.0, FINAL_ZOOM, SMOOTHING_OFF));
    if (!r.final) return false;
    r.at.x = Sint16(r.screen->w / 2 - r.final->w / 2);
    r.at.y = Sint16(r.screen->h / 2 - r.final->h / 2);
    rank_line_text(r.rankLine, sizeof r.rankLine, 3);
    name_entry_keys_hint(r);
    name_entry_begin(r.ne, &e.entry, 3, game_ticks());
    return true;
}

void scene_close(EntryScene& e) {
    surface_free(e.r.final);
    surface_free(e.r.keysHint);
    font_close(e.r.font);
    e.r.final = nullptr;
    e.r.keysHint = nullptr;
    e.r.font = nullptr;
}

void name_entry_frame_game(benchmark::State& state) {
    ShellState& s = bench_shell();
    drain_events();
    set_simulated_clock(true, 1000000);
    EntryScene e;
    if (!scene_open(e, s)) {
        state.SkipWithError("cannot make the name-entry screen");
    } else {
        for (auto _ : state)
            if (new_record_screen_step(e.r)) break;
        if (e.r.ne.done) state.SkipWithError("the name entry ended");
    }
    scene_close(e);
    set_simulated_clock(false);
}

void name_entry_frame_floor(benchmark::State& state) {
    ShellState& s = bench_shell();
    drain_events();
    EntryScene e;
    if (!scene_open(e, s)) {
        state.SkipWithError("cannot make the name-entry screen");
        scene_close(e);
        return;
    }
    RecordScreen& r = e.r;
    for (auto _ : state) {
        drain_events();
        SDL_Surface* name = TTF_RenderText_Solid(r.font, e.entry.name, WHITE);
        SDL_Surface* rank = TTF_RenderText_Solid(r.font, r.rankLine, WHITE);
        SDL_FillRect(r.screen, nullptr, SDL_MapRGB(r.screen->format, 0, 0, 0));
        SDL_Rect at = {r.at.x, r.at.y, 0, 0};
        SDL_BlitSurface(r.final, nullptr, r.screen, &at);
        SDL_Rect rankAt = {100, 5, 0, 0};
        SDL_BlitSurface(rank, nullptr, r.screen, &rankAt);
        SDL_Rect nameAt = {275, 175, 0, 0};
        SDL_BlitSurface(name, nullptr, r.screen, &nameAt);
        if (r.keysHint) {
            SDL_Rect hintAt = {Sint16((r.screen->w - r.keysHint->w) / 2), 222, 0, 0};
            SDL_BlitSurface(r.keysHint, nullptr, r.screen, &hintAt);
        }
        SDL_Flip(r.screen);
        SDL_FreeSurface(rank);
        SDL_FreeSurface(name);
    }
    scene_close(e);
}

// Both zoom loops go round the 37 frames of the zoom-in, sizes and angles included.
struct ZoomPlan {
    float zooms[ZOOM_FRAMES_MAX];
    int angles[ZOOM_FRAMES_MAX];
    int frames;
};

ZoomPlan zoom_plan() {
    ZoomPlan p;
    p.frames = zoom_in_schedule(p.zooms, p.angles, ZOOM_FRAMES_MAX);
    return p;
}

void zoom_in_frame_game(benchmark::State& state) {
    ShellState& s = bench_shell();
    set_simulated_clock(true, 1000000);
    ZoomPlan p = zoom_plan();
    RecordScreen r = {};
    r.screen = s.screen;
    r.portrait = s.assets.portraits[2];
    int i = 0;
    for (auto _ : state) {
        zoom_in_frame(r, p.zooms[i], p.angles[i]);
        i = (i + 1) % p.frames;
    }
    set_simulated_clock(false);
}

void zoom_in_frame_floor(benchmark::State& state) {
    ShellState& s = bench_shell();
    ZoomPlan p = zoom_plan();
    SDL_Surface* screen = s.screen;
    SDL_Surface* portrait = s.assets.portraits[2];
    int i = 0;
    for (auto _ : state) {
        SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
        SDL_Surface* copy = rotozoomSurface(portrait, p.angles[i], p.zooms[i], SMOOTHING_OFF);
        if (!copy) {
            state.SkipWithError("rotozoomSurface made nothing");
            break;
        }
        SDL_Rect at = {Sint16(screen->w / 2 - copy->w / 2), Sint16(screen->h / 2 - copy->h / 2), 0,
                       0};
        SDL_BlitSurface(copy, nullptr, screen, &at);
        SDL_Flip(screen);
        SDL_FreeSurface(copy);
        i = (i + 1) % p.frames;
    }
}

// One watch of an idle screen: its real loop, on the real clock, for a few
// seconds, until a quit ends it. The figure is the whole process's processor
// time (the mixer's thread included) over the wall time, in % of one core.
struct IdleWatch {
    double cpu0, wall0;
    QuitTimer* timer;
};

IdleWatch idle_begin() {
    set_simulated_clock(false);
    drain_events();
    IdleWatch w;
    w.timer = quit_after(bench_settings().idleSeconds);
    w.cpu0 = process_cpu_seconds();
    w.wall0 = wall_seconds();
    return w;
}

void idle_end(IdleWatch& w, benchmark::State& state) {
    double wall = wall_seconds() - w.wall0;
    double cpu = process_cpu_seconds() - w.cpu0;
    quit_timer_join(w.timer);
    state.SetIterationTime(wall);
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
}

void controls_screen_idle(benchmark::State& state) {
    ShellState& s = bench_shell();
    for (auto _ : state) {
        ControlsScreen cs;
        controls_screen_enter(cs, s.screen, s.controls, s.fullscreen);
        IdleWatch w = idle_begin();
        while (!controls_screen_step(cs)) {
        }
        idle_end(w, state);
        controls_screen_leave(cs);
    }
}

void hall_screen_idle(benchmark::State& state) {
    ShellState& s = bench_shell();
    for (auto _ : state) {
        HallScreen h;
        hall_screen_enter(h, s.screen, s.fullscreen);
        IdleWatch w = idle_begin();
        while (!hall_screen_step(h)) {
        }
        idle_end(w, state);
        hall_screen_leave(h);
    }
}

void main_menu_idle(benchmark::State& state) {
    ShellState& s = bench_shell();
    for (auto _ : state) {
        MainMenu m;
        main_menu_enter(m, s.screen, s.controls, s.fullscreen, &s.fatality);
        IdleWatch w = idle_begin();
        while (!main_menu_step(m)) {
        }
        idle_end(w, state);
        main_menu_leave(m);
    }
}

void register_idle(const char* name, void (*fn)(benchmark::State&)) {
    benchmark::RegisterBenchmark(name, fn)->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(
        benchmark::kMillisecond);
}
} // namespace

void register_screen_benchmarks() {
    benchmark::RegisterBenchmark("name_entry_frame/game", name_entry_frame_game)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("name_entry_frame/floor", name_entry_frame_floor)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("zoom_in_frame/game", zoom_in_frame_game)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("zoom_in_frame/floor", zoom_in_frame_floor)
        ->Unit(benchmark::kMicrosecond);
    register_idle("idle/controls_screen", controls_screen_idle);
    register_idle("idle/hall_screen", hall_screen_idle);
    register_idle("idle/main_menu", main_menu_idle);
}
