// The screens around the race. Each keeps its state in one record and runs in
// three calls: <screen>_enter loads and draws, <screen>_step runs one pass of
// its loop and is true once the screen is to be left, <screen>_leave releases
// everything and gives the result. The call named after the screen alone runs
// the three; the controls screen's is in input/controls_screen.h.
#pragma once

#include "input/controls.h"
#include "input/screen_keys.h"
#include "tables/characters.h"
#include "records/records.h"

#include <SDL/SDL.h>

constexpr int MENU_QUIT = PLAYERS + 1;
// 1 to PLAYERS: number of players; MENU_QUIT: quit.
int main_menu(SDL_Surface* screen, PlayerControl controls[PLAYERS], bool& fullscreen,
              bool* fatality);
ScreenResult hall_screen(SDL_Surface* screen, bool& fullscreen);
void new_record_screen(SDL_Surface* screen, SDL_Surface* portraits[CHARACTER_COUNT],
                       HallEntry* entry, int rank);
void intro_screen();
