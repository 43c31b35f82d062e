// The hall-of-fame screen's state and steps, so a test can run it pass by pass.
#pragma once

#include "input/input.h"
#include "input/screen_keys.h"
#include "tables/characters.h"
#include "records/records.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

struct HallScreen {
    SDL_Surface* screen;
    bool* fullscreen;
    ScreenResult result;
    bool finish; // end after the current pass
    HallEntry entry;
    InputSnapshot in;
    uint32_t* indexTab;
    SDL_Surface* background;
    SDL_Surface* portraits[CHARACTER_COUNT];
    TTF_Font* font;
    SDL_Surface* surf_texte;
    int shownCharacters[HALL_LINES]; // portrait drawn on each rank at the last draw, -1 none
};

enum HallAction { HALL_STAY, HALL_LEAVE, HALL_REDRAW };

// Column offset and top of the row of a rank: ranks 0-4 on the left, 5-9 on the right.
void hall_row_place(int rank, int* x0, int* y);
// Applies the flags of the snapshot to the state (Escape, a quit request, F1).
HallAction hall_apply_input(HallScreen& h);

void hall_screen_enter(HallScreen& h, SDL_Surface* screen, bool& fullscreen);
void hall_screen_draw(HallScreen& h);
// One pass: input, actions, a short wait. True when the screen is to be left.
bool hall_screen_step(HallScreen& h);
ScreenResult hall_screen_leave(HallScreen& h);
