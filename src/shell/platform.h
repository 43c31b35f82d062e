// Thin seams between the game and the system: the clock, waits, the joystick
// count, fatal exits and resource counting. In the game they are the plain SDL
// calls; tests and the session runner swap in a simulated clock.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

// Milliseconds since start: SDL_GetTicks unless a simulated clock is set.
Uint32 game_ticks();
// SDL_Delay, or advances the simulated clock by ms.
void game_delay(Uint32 ms);
// Waits for an event as SDL_WaitEvent does (a poll every 10 ms); after a
// termination signal it gives SDL_QUIT at once. With a simulated
// clock, polls and advances the clock by 1 ms per empty poll (calling the
// idle hook so a script can feed events).
int game_wait_event(SDL_Event* ev);
// SDL_NumJoysticks unless a test has set a count.
int joystick_count();

// Test and session-runner controls.
void set_simulated_clock(bool on, Uint32 start_ms = 0);
bool simulated_clock_on();
void advance_simulated_clock(Uint32 ms);
void set_simulated_clock_value(Uint32 ms);
void set_joystick_count_override(int count); // -1 restores SDL_NumJoysticks
bool joystick_count_overridden();
// Called whenever a wait would block or sleep under the simulated clock: lets
// a scripted session push the events due at the new time.
void set_idle_hook(void (*hook)(void* user), void* user);
void run_idle_hook();

// Prints the message (printf format) to standard output and ends the process
// with status 1. Nothing is released but the sound layer and the display.
[[noreturn]] void fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Same, the message printed as a line (a line end appended, as puts does).
[[noreturn]] void fatal_line(const char* text);
// Closes the sound layer (mixer and audio device), then the text library and
// the display. Every way out of the program goes through it: a process that
// ends with the audio thread still running can crash in the library
// finalisers, and a full-screen mode left set keeps the desktop's resolution
// changed. Harmless when nothing is open.
void close_media();

// SIGTERM, SIGINT and SIGHUP end the game cleanly: once one has come, every
// event poll gives a quit request, and the shell shuts down with status 0.
void install_termination_handlers();
bool termination_requested();
// SDL_PollEvent. After a termination signal it gives SDL_QUIT instead, every
// other call, so a loop that drains the queue still ends its drain.
int game_poll_event(SDL_Event* ev);

// Resource accounting: every surface, font and sample the game makes or frees
// goes through these so soak tests can check nothing leaks per cycle.
struct ResourceCounts {
    long surfaces;
    long fonts;
    long samples;
};
ResourceCounts resource_counts();
SDL_Surface* surface_made(SDL_Surface* s);         // counts a non-null surface, returns it
void surface_free(SDL_Surface* s);                 // SDL_FreeSurface, counted; null is ignored
TTF_Font* font_open(const char* file, int ptsize); // TTF_OpenFont, counted
void font_close(TTF_Font* f);                      // TTF_CloseFont, counted; null ignored
void sample_counted(int delta);                    // used by the sound layer

// Renders text with TTF_RenderText_Solid and counts the surface.
SDL_Surface* render_text(TTF_Font* font, const char* text, SDL_Color colour);

// F1 everywhere: sets 640 x 240 x 32 (SDL_HWSURFACE | SDL_DOUBLEBUF, plus
// SDL_FULLSCREEN when going to full screen) and flips the shared flag, only
// when the switch worked, so the flag always tells the mode in force.
SDL_Surface* toggle_display_mode(bool& fullscreen);

// SDL_Flip. Under the simulated clock it also advances the clock by the frame
// time set below (0 by default) and runs the idle hook, so a scripted session
// sees time pass in loops that never wait.
int game_flip(SDL_Surface* screen);
void set_simulated_frame_time(Uint32 ms);

// Flips done through game_flip since start (for scripted sessions).
unsigned long game_flip_count();
// Called by the shell at the start of every menu-and-race cycle.
void set_cycle_hook(void (*hook)(void* user), void* user);
void run_cycle_hook();
// Called by the race at each finish with the runner's character and time in
// ms, so a scripted session can check the best times it leaves behind. The
// game itself sets none.
void set_finish_hook(void (*hook)(void* user, int character, float time_ms), void* user);
void run_finish_hook(int character, float time_ms);
