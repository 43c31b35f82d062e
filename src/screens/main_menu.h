// The main menu's state and steps, so a test can run it pass by pass.
#pragma once

#include "input/controls.h"
#include "input/input.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

struct MainMenu {
    SDL_Surface* screen;
    PlayerControl* controls;
    bool* fullscreen;
    bool* fatality;
    int selection;      // number of players; MENU_QUIT once a quit is asked
    SDL_Rect arrowRect; // beside the selected line
    int joysticks;      // read once at entry
    bool finish;        // end after the current pass
    InputSnapshot in;
    uint32_t* indexTab;
    SDL_Surface* background;
    SDL_Surface* arrow;
    SDL_Surface* devicePictures[INPUT_KINDS];
    TTF_Font* font;
    SDL_Surface* dispTime;   // the text last rendered
    SDL_Rect optionRect;     // where the option text was last drawn
    char optionText[4];      // "ON " or "OFF", as last drawn
    int shownKinds[PLAYERS]; // device picture of each row at the last full draw, -1 none
};

// Device pictures for the four rows, by kind (-1: none). The first mouse player
// and the first joystick players up to the attached count keep their device;
// every other one is made a keyboard player in the records.
void menu_device_kinds(PlayerControl controls[PLAYERS], int joysticks, int shown[PLAYERS]);
// Arrow moves: the selection stays within 1 to PLAYERS.
void menu_arrow_up(MainMenu& m);
void menu_arrow_down(MainMenu& m);
const char* fatality_text(bool fatality);

void main_menu_enter(MainMenu& m, SDL_Surface* screen, PlayerControl controls[PLAYERS],
                     bool& fullscreen, bool* fatality);
void main_menu_full_draw(MainMenu& m);
// One pass: input, actions, the menu's wait, flip. True when the menu is to end.
bool main_menu_step(MainMenu& m);
// Releases everything, saves the control file, gives the selection.
int main_menu_leave(MainMenu& m);
