// Small drawing helpers shared by the screens around the race.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstddef>

// "%.3f" of a time in milliseconds shown in seconds ("12.346" for 12345.678).
void format_seconds(float time_ms, char* out, size_t size);
// Blits a whole picture at (x, y); a null picture or screen draws nothing.
// The rectangle written back by the blit stays local.
void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y);
// Opens a screen font with its style; a font that cannot be opened ends the
// program, since no screen can go on without its texts.
TTF_Font* open_screen_font(const char* file, int ptsize, int style);
// After a display-mode switch: the surface to go on drawing on. A mode that
// could not be set leaves nothing to draw on, which ends the program.
SDL_Surface* screen_after_switch();
// White, as every screen text is drawn.
SDL_Color white_colour();
