// The seams between the game and the system (platform/clock.h, platform/system.h,
// platform/video.h, platform/session_hooks.h): one file, since the simulated clock,
// the termination signals and the flip share their state.
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/session_hooks.h"

#include "platform/sound.h"
#include "platform/termination.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool simOn = false;
Uint32 simNow = 0;
int joyOverride = -1;
void (*idleHook)(void*) = nullptr;
void* idleUser = nullptr;
Uint32 simFrame = 0;
unsigned long flipCount = 0;
void (*cycleHook)(void*) = nullptr;
void* cycleUser = nullptr;
void (*finishHook)(void*, int, float) = nullptr;
void* finishUser = nullptr;
ResourceCounts counts = {0, 0, 0};
// Set from a signal handler: an atomic that takes no lock is safe there.
std::atomic<int> terminationSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler sets it");
bool quitJustGiven = false;

int give_quit(SDL_Event* ev) {
    memset(ev, 0, sizeof *ev);
    ev->type = SDL_QUIT;
    return 1;
}
} // namespace

Uint32 game_ticks() {
    return simOn ? simNow : SDL_GetTicks();
}

void game_delay(Uint32 ms) {
    if (!simOn) {
        SDL_Delay(ms);
        return;
    }
    simNow += ms;
    run_idle_hook();
}

int game_wait_event(SDL_Event* ev) {
    if (!simOn) {
        for (;;) {
            if (termination_requested()) return give_quit(ev);
            if (SDL_PollEvent(ev)) return 1;
            SDL_Delay(10);
        }
    }
    // A blocking wait would never end if nothing can arrive: give up after a
    // simulated minute, as the real wait would be the player's problem.
    for (int i = 0; i < 60000; ++i) {
        if (termination_requested()) return give_quit(ev);
        if (SDL_PollEvent(ev)) return 1;
        simNow += 1;
        run_idle_hook();
    }
    return 0;
}

int joystick_count() {
    return joyOverride >= 0 ? joyOverride : SDL_NumJoysticks();
}

void set_simulated_clock(bool on, Uint32 start_ms) {
    simOn = on;
    simNow = start_ms;
}
bool simulated_clock_on() {
    return simOn;
}
void advance_simulated_clock(Uint32 ms) {
    simNow += ms;
}
void set_simulated_clock_value(Uint32 ms) {
    simNow = ms;
}
void set_joystick_count_override(int count) {
    joyOverride = count;
}
bool joystick_count_overridden() {
    return joyOverride >= 0;
}
void set_idle_hook(void (*hook)(void*), void* user) {
    idleHook = hook;
    idleUser = user;
}
void run_idle_hook() {
    if (idleHook) idleHook(idleUser);
}

void close_media() {
    FSOUND_Close();
    TTF_Quit();
    SDL_Quit();
}

// After a fatal message: the message out, the media closed, status 1.
[[noreturn]] static void end_after_message() {
    fflush(stdout);
    close_media();
    exit(1);
}

void fatal(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vprintf(fmt, ap);
    va_end(ap);
    end_after_message();
}

void fatal_line(const char* text) {
    puts(text);
    end_after_message();
}

void note_termination(int sig) {
    terminationSignal = sig;
}

bool termination_requested() {
    return terminationSignal != 0;
}

void clear_termination_request() {
    terminationSignal = 0;
    quitJustGiven = false;
}

int game_poll_event(SDL_Event* ev) {
    if (!termination_requested()) return SDL_PollEvent(ev);
    quitJustGiven = !quitJustGiven;
    return quitJustGiven ? give_quit(ev) : 0;
}

ResourceCounts resource_counts() {
    return counts;
}

SDL_Surface* surface_made(SDL_Surface* s) {
    if (s) ++counts.surfaces;
    return s;
}

void surface_free(SDL_Surface* s) {
    if (!s) return;
    --counts.surfaces;
    SDL_FreeSurface(s);
}

TTF_Font* font_open(const char* file, int ptsize) {
    TTF_Font* f = TTF_OpenFont(file, ptsize);
    if (f) ++counts.fonts;
    return f;
}

void font_close(TTF_Font* f) {
    if (!f) return;
    --counts.fonts;
    TTF_CloseFont(f);
}

void sample_counted(int delta) {
    counts.samples += delta;
}

SDL_Surface* render_text(TTF_Font* font, const char* text, SDL_Color colour) {
    if (!font) return nullptr;
    return surface_made(TTF_RenderText_Solid(font, text, colour));
}

namespace {
// SDL's drivers that draw nowhere a player looks: in memory, or as text art.
bool shows_nothing(const char* driver) {
    static const char* const NOWHERE[] = {"offscreen", "dummy", "evdev", "aalib", "caca"};
    for (const char* name : NOWHERE)
        if (strcmp(driver, name) == 0) return true;
    return false;
}
} // namespace

SDL_Surface* open_window(int width, int height, int bpp, Uint32 flags) {
    const char* asked = getenv("SDL_VIDEODRIVER");
    char driver[64] = "";
    if ((!asked || !asked[0]) && SDL_VideoDriverName(driver, sizeof driver) &&
        shows_nothing(driver)) {
        // Closed before the message is printed: the text-art drivers hold the
        // terminal and would take the message with them.
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        SDL_SetError("aucun écran (SDL n'a que son pilote vidéo %s, qui n'affiche rien)", driver);
        return nullptr;
    }
    return set_video_mode(width, height, bpp, flags);
}

SDL_Surface* toggle_display_mode(bool& fullscreen) {
    Uint32 flags = SDL_HWSURFACE | SDL_DOUBLEBUF;
    if (!fullscreen) flags |= SDL_FULLSCREEN;
    SDL_Surface* s = set_video_mode(640, 240, 32, flags);
    if (s) fullscreen = !fullscreen;
    return s;
}

int game_flip(SDL_Surface* screen) {
    int r = show_frame(screen);
    ++flipCount;
    if (simOn) {
        simNow += simFrame;
        run_idle_hook();
    }
    return r;
}

void set_simulated_frame_time(Uint32 ms) {
    simFrame = ms;
}

unsigned long game_flip_count() {
    return flipCount;
}

void set_cycle_hook(void (*hook)(void*), void* user) {
    cycleHook = hook;
    cycleUser = user;
}

void run_cycle_hook() {
    if (cycleHook) cycleHook(cycleUser);
}

void set_finish_hook(void (*hook)(void*, int, float), void* user) {
    finishHook = hook;
    finishUser = user;
}

void run_finish_hook(int character, float time_ms) {
    if (finishHook) finishHook(finishUser, character, time_ms);
}
