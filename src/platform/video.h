// Drawing through the window: text rendering, the display switch and the flip,
// each counted or timed so scripted sessions see what a player sees.
#pragma once

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

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
