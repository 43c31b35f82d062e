// What every screen (the race included) is built from. Each screen keeps its
// state in one record and runs in three calls: <screen>_enter loads and draws,
// <screen>_step runs one pass of its loop and is true once the screen is to be
// left, <screen>_leave releases everything and gives the result. The call
// named after the screen alone runs all three.
#pragma once

#include "input/input.h"
#include "tables/characters.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstddef>
#include <cstdint>

// A picture from the archive; one that cannot be loaded ends the program with
// the message (a format whose %s takes the SDL error), since the screen has
// nothing to show without it.
SDL_Surface* load_picture(const uint32_t* indexTab, int number, const char* message);
// Every character's portrait, in character order. One that cannot be loaded
// ends the program with PREFIX "Erreur de chargement de NAME.bmp : " and the
// SDL error, PREFIX naming the screen ("MAIN / ", "MENU / ", "HALL / ").
void load_portraits(const uint32_t* indexTab, const char* prefix,
                    SDL_Surface* portraits[CHARACTER_COUNT]);
// Blits a whole picture at (x, y); a null picture or screen draws nothing.
// The rectangle written back by the blit stays local.
void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y);
// Fills the rectangle (the whole surface for null) with black.
void fill_black(SDL_Surface* surface, SDL_Rect* rect = nullptr);
// "%.3f" of a time in milliseconds shown in seconds ("12.346" for 12345.678).
void format_seconds(float time_ms, char* out, size_t size);
// Opens a screen font with its style; a font that cannot be opened ends the
// program, since no screen can go on without its texts.
TTF_Font* open_screen_font(const char* file, int ptsize, int style);

// The screens' texts are white, the race's black.
SDL_Color white_colour();
SDL_Color black_colour();
// The grey every picture drawn over others is keyed on, in the surface's format.
Uint32 key_grey(const SDL_Surface* surface);

// Left-Alt and F4 both latched: the screens' quit key.
bool alt_f4_held(const InputSnapshot& in);
// The same, clearing both flags when it is so.
bool take_alt_f4(InputSnapshot& in);

// F1: switches between windowed and full screen, flips the flag when the
// switch worked, and gives the surface to go on drawing on.
SDL_Surface* switch_display(bool& fullscreen);
// After a display-mode switch: the surface to go on drawing on. A mode that
// could not be set leaves nothing to draw on, which ends the program.
SDL_Surface* screen_after_switch();
