// The race frame and the countdown frame, each beside its floor: the same
// blits, the same text rendering and the flip, done directly in a bare loop.
#include "bench_suites.h"

#include "bench_support.h"
#include "common/sdl_events.h"
#include "race/race.h"
#include "platform/clock.h"

#include <SDL/SDL_ttf.h>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {
// The view scrolls on every frame while these stay in reach: the terrain is
// 1040 pixels wide, so it can scroll up to x 400, and "GO!" is gone by 100.
constexpr Sint16 SCROLL_FIRST = 100;
constexpr Sint16 SCROLL_LAST = 395;
// Each front 445 pixels past its start line: beyond x 500 for the view to
// follow, short of the finish at 581. A press and a scroll step cancel out.
constexpr int AHEAD = 445;
const SDL_Color BLACK = {0, 0, 0, 0};

// Race kept outside any stack frame: effects would point into its runners.
Race race;

// Every row plays; each gets the press of its own kind every frame.
void push_every_press(const ShellState& s) {
    for (const PlayerControl& pc : s.controls) {
        if (pc.kind == INPUT_KEYBOARD) push_key(SDLKey(pc.key));
        if (pc.kind == INPUT_MOUSE) push_mouse_button(SDL_BUTTON_LEFT);
    }
}

void start_race(ShellState& s) {
    for (PlayerControl& pc : s.controls)
        pc.active = true;
    if (!s.pointDepart) s.pointDepart = effect_list_create();
    drain_events();
    RaceSetup setup = race_setup(s, PLAYERS);
    setup.fatality = true;
    race_start(race, setup);
}

bool players_can_race(const ShellState& s, benchmark::State& state) {
    bool seen[CHARACTER_COUNT] = {};
    for (const PlayerControl& pc : s.controls) {
        if (!character_in_range(pc.character) || seen[pc.character] ||
            (pc.kind != INPUT_KEYBOARD && pc.kind != INPUT_MOUSE)) {
            state.SkipWithError("data/control.dat needs four keyboard or mouse players");
            return false;
        }
        seen[pc.character] = true;
    }
    return true;
}

// The race as it runs in mid-course: started, chronometer on, view scrolling.
void start_running_race(ShellState& s) {
    start_race(s);
    race.state.countdown = 0;
    race.state.started = true;
    race.state.startTick = game_ticks();
    race.state.scrollX = SCROLL_FIRST;
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        race.runners[c].posRect.x = Sint16(CHARACTER_TABLE[c].runner.startX + AHEAD);
}

// What the floor draws with: the game's own pictures and font.
struct Floor {
    SDL_Surface* screen;
    SDL_Surface* terrain;
    SDL_Surface* chrono;
    SDL_Rect chronoPos;
    SDL_Surface* sprites[CHARACTER_COUNT];
    TTF_Font* font;
    SDL_Surface* text;
    int frame[CHARACTER_COUNT];
    Sint16 scrollX;
    Uint32 start;
};

Floor floor_from(const ShellState& s) {
    Floor f = {};
    f.screen = s.screen;
    f.terrain = s.assets.terrain;
    f.chrono = s.assets.chrono;
    f.chronoPos = s.assets.chronoPos;
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        f.sprites[c] = s.assets.spriteSet[c];
    f.font = s.assets.font;
    f.scrollX = SCROLL_FIRST;
    f.start = SDL_GetTicks();
    return f;
}

void floor_terrain(Floor& f) {
    SDL_Rect source = {f.scrollX, 0, Uint16(f.terrain->w), Uint16(f.screen->h)};
    SDL_Rect at = {0, 0, Uint16(f.screen->w), Uint16(f.screen->h)};
    SDL_BlitSurface(f.terrain, &source, f.screen, &at);
}

void floor_text(Floor& f, const char* text, Sint16 x, Sint16 y) {
    SDL_FreeSurface(f.text);
    f.text = TTF_RenderText_Solid(f.font, text, BLACK);
    SDL_Rect at = {x, y, 0, 0};
    SDL_BlitSurface(f.text, nullptr, f.screen, &at);
}

void floor_runners(Floor& f, int ahead, bool step) {
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        const RunnerLook& look = CHARACTER_TABLE[c].runner;
        if (step) f.frame[c] = (f.frame[c] + 1) % look.frames;
        SDL_Rect source = {Sint16(f.frame[c] * look.frameWidth), 0, Uint16(look.frameWidth),
                           Uint16(look.frameHeight)};
        SDL_Rect at = {Sint16(look.startX + ahead), Sint16(look.y), Uint16(look.frameWidth),
                       Uint16(look.frameHeight)};
        SDL_BlitSurface(f.sprites[c], &source, f.screen, &at);
    }
}

void race_frame_game(benchmark::State& state) {
    ShellState& s = bench_shell();
    if (!players_can_race(s, state)) return;
    start_running_race(s);
    long frames = 0;
    for (auto _ : state) {
        push_every_press(s);
        if (race.state.scrollX >= SCROLL_LAST) race.state.scrollX = SCROLL_FIRST;
        if (race_frame(race) != RACE_GO_ON) break;
        ++frames;
    }
    // Everyone still racing, no one finished: every frame was a mid-race frame.
    if (race.state.playersLeft != PLAYERS || race.state.finishCount != 0 ||
        frames != long(state.iterations()))
        state.SkipWithError("the race left mid-course");
}

void race_frame_floor(benchmark::State& state) {
    ShellState& s = bench_shell();
    if (!players_can_race(s, state)) return;
    drain_events();
    Floor f = floor_from(s);
    for (auto _ : state) {
        push_every_press(s);
        drain_events();
        if (f.scrollX >= SCROLL_LAST) f.scrollX = SCROLL_FIRST;
        f.scrollX = Sint16(f.scrollX + 5);
        floor_terrain(f);
        SDL_Rect at = f.chronoPos;
        SDL_BlitSurface(f.chrono, nullptr, f.screen, &at);
        char text[32];
        snprintf(text, sizeof text, "%.3f", float(SDL_GetTicks() - f.start) / 1000);
        floor_text(f, text, 300, 30);
        floor_runners(f, AHEAD, true);
        SDL_Flip(f.screen);
    }
    SDL_FreeSurface(f.text);
}

void countdown_frame_game(benchmark::State& state) {
    ShellState& s = bench_shell();
    if (!players_can_race(s, state)) return;
    start_race(s);
    // The clock stands still between two steps of the count: every frame shows "5".
    set_simulated_clock(true, 1000000);
    s.carry.lastStepTick = game_ticks();
    long frames = 0;
    for (auto _ : state) {
        if (race_frame(race) != RACE_GO_ON) break;
        ++frames;
    }
    set_simulated_clock(false);
    if (race.state.started || race.state.playersLeft != PLAYERS ||
        frames != long(state.iterations()))
        state.SkipWithError("the countdown did not hold");
}

void countdown_frame_floor(benchmark::State& state) {
    ShellState& s = bench_shell();
    drain_events();
    Floor f = floor_from(s);
    f.scrollX = 0;
    int countdown = 5;
    for (auto _ : state) {
        drain_events();
        floor_terrain(f);
        char text[8];
        snprintf(text, sizeof text, "%d", countdown);
        floor_text(f, text, 20, 10);
        floor_runners(f, 0, false);
        SDL_Flip(f.screen);
    }
    SDL_FreeSurface(f.text);
}
} // namespace

void register_race_benchmarks() {
    benchmark::RegisterBenchmark("race_frame/game", race_frame_game)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("race_frame/floor", race_frame_floor)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("countdown_frame/game", countdown_frame_game)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("countdown_frame/floor", countdown_frame_floor)
        ->Unit(benchmark::kMicrosecond);
}
