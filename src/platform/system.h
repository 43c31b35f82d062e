// The game and its process: the joysticks attached, fatal exits, termination
// signals and the resource counts the soak test reads.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

// SDL_NumJoysticks unless a test has set a count.
int joystick_count();

// For tests and scripted sessions.
void set_joystick_count_override(int count); // -1 restores SDL_NumJoysticks
bool joystick_count_overridden();

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

// SIGTERM, SIGINT and SIGHUP (on Windows their counterparts: Ctrl+C, the
// console closed, a log-off) end the game cleanly: once one has come, every
// event poll gives a quit request, and the shell shuts down with status 0.
void install_termination_handlers();
bool termination_requested();
// For tests: forgets a signal already taken, so the next test starts clean.
void clear_termination_request();
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
