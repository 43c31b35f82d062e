// The screens around the race.
#pragma once

#include "input/controls.h"
#include "tables/characters.h"
#include "records/records.h"

#include <SDL/SDL.h>

constexpr int MENU_QUIT = 5;
// 1 to PLAYERS: number of players; MENU_QUIT: quit.
int main_menu(SDL_Surface* screen, PlayerControl controls[PLAYERS], bool& fullscreen,
              bool* fatality);
// 1: back to the menu; 0: quit.
int hall_screen(SDL_Surface* screen, bool& fullscreen);
void new_record_screen(SDL_Surface* screen, SDL_Surface* portraits[CHARACTER_COUNT],
                       HallEntry* entry, int rank);
void intro_screen();
// 1: left with Escape; 0: quit requested.
int controls_screen(SDL_Surface* screen, PlayerControl controls[PLAYERS], bool& fullscreen);
