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

// The small drawing helpers every screen and the race use.

// Blits a whole picture at (x, y); a null picture or screen draws nothing.
// The rectangle written back by the blit stays local.
void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y);
// Fills the rectangle (the whole surface for null) with black.
void fill_black(SDL_Surface* surface, SDL_Rect* rect = nullptr);
// The screens' texts are white, the race's black.
SDL_Color white_colour();
SDL_Color black_colour();
// The grey every picture drawn over others is keyed on, in the surface's format.
Uint32 key_grey(const SDL_Surface* surface);
// Sets the colour key on a picture drawn over others; one that cannot be set
// ends the program with PREFIX "Erreur d'application de la transparence NAME : "
// and the SDL error.
void set_colour_key(SDL_Surface* picture, Uint32 key, const char* prefix, const char* name);
// Opens a font with its style; a font that cannot be opened ends the program,
// since no screen can go on without its texts.
TTF_Font* open_screen_font(const char* file, int ptsize, int style);

// F1: switches between windowed and full screen, flips the flag when the
// switch worked, and gives the surface to go on drawing on.
SDL_Surface* switch_display(bool& fullscreen);
// After a display-mode switch: the surface to go on drawing on. A mode that
// could not be set leaves nothing to draw on, which ends the program.
SDL_Surface* screen_after_switch();
