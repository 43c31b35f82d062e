#pragma once

#include "input/controls.h"
#include "input/screen_keys.h"
#include "tables/characters.h"
#include "tables/layout.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

// The screen's state between events, so its rules can be driven one event at a
// time (tests do so without a window).
constexpr int CONTROLS_TEXT_SIZE = 48;
struct ControlsScreen {
    SDL_Surface* screen;
    PlayerControl* controls;
    bool* fullscreen;
    int row;           // selected row
    SDL_Rect bar;      // highlight bar, on the selected row
    int pendingButton; // 1: the next joystick button sets button1, 2: button2
    ScreenResult result;
    bool leave;         // leave after the current redraw
    bool switchDisplay; // F1 seen: switch the mode before the redraw
    bool conflict;      // colour of the last bar drawn (true: red)
    // What the last redraw wrote in each row's three columns.
    char texts[PLAYERS][CONTROLS_COLUMNS][CONTROLS_TEXT_SIZE];
    uint32_t* indexTab;
    Uint32 red, green;
    SDL_Surface* surfSelect;
    SDL_Surface* background;
    SDL_Surface* select;
    SDL_Surface* kindPictures[INPUT_KINDS];
    SDL_Surface* characterPictures[CHARACTER_COUNT];
    TTF_Font* font;
};

// Rules state alone (first row selected, nothing pending, left with Escape), no resources.
void controls_screen_init(ControlsScreen& s, PlayerControl controls[PLAYERS], bool& fullscreen);
// One event applied to the records and the screen state (no drawing, no mode switch).
void controls_screen_handle(ControlsScreen& s, const SDL_Event& ev);
// Space: keyboard, mouse, joystick 0 .. joysticks-1, keyboard again.
void controls_next_kind(PlayerControl& row, int joysticks);
// The row's texts in its three columns ("" where nothing is written).
void controls_row_texts(const PlayerControl& row, char texts[CONTROLS_COLUMNS][CONTROLS_TEXT_SIZE]);
// Loads the pictures, the bar and the font; fills the display black.
void controls_screen_enter(ControlsScreen& s, SDL_Surface* screen, PlayerControl controls[PLAYERS],
                           bool& fullscreen);
void controls_screen_draw(ControlsScreen& s);
// Waits for one event, applies it, redraws and flips. True when the screen is to be left.
bool controls_screen_step(ControlsScreen& s);
// Releases everything and gives the result.
ScreenResult controls_screen_leave(ControlsScreen& s);

// The whole screen, from the main menu's F2: SCREEN_BACK once left with
// Escape, SCREEN_QUIT on a quit request.
ScreenResult controls_screen(SDL_Surface* screen, PlayerControl controls[PLAYERS],
                             bool& fullscreen);
