// Drawing through the window: text rendering, the display switch and the flip,
// each counted or timed so scripted sessions see what a player sees.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

// The window as the game sees it, through the system's own layer
// (video_posix.cpp, video_win32.cpp): SDL_SetVideoMode, SDL_GetVideoSurface and
// SDL_Flip. The surface the game draws on always has the size it asked for;
// where the system shows it larger (on Windows, a window enlarged by a whole
// factor, or the whole desktop in full screen), the flip enlarges it.
SDL_Surface* set_video_mode(int width, int height, int bpp, Uint32 flags);
SDL_Surface* video_surface();
int show_frame(SDL_Surface* screen);

// Renders text with TTF_RenderText_Solid and counts the surface.
SDL_Surface* render_text(TTF_Font* font, const char* text, SDL_Color colour);

// SDL_SetVideoMode for the window's first opening, refused when SDL has found
// no screen to show it on. Without one, SDL 2 (under sdl12-compat) falls back
// to its offscreen driver and the classic SDL 1.2 to text art in the
// terminal, and the game would run unseen. Unless SDL_VIDEODRIVER names a
// driver (the tests ask for dummy), such a driver is no screen: the video is
// closed, the SDL error says why, and the result is null, as for any window
// that cannot be opened.
SDL_Surface* open_window(int width, int height, int bpp, Uint32 flags);

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
