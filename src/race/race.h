// One race: countdown, presses, scrolling, eliminations, finishes, placements.
#pragma once

#include "input/controls.h"
#include "race/effects.h"
#include "records/records.h"
#include "shell/assets.h"

#include <SDL/SDL.h>

enum RaceOutcome { RACE_BACK_TO_MENU = 0, RACE_QUIT = 1 };

// Runs one race with n players; see RaceOutcome.
RaceOutcome run_race(SDL_Surface* screen, Assets& assets, PlayerControl controls[PLAYERS],
                     InputSnapshot& in, EffectList* pointDepart, int n, bool fatality,
                     bool& fullscreen);
void deactivate_character(PlayerControl controls[PLAYERS], int character);
// Rank 0-9 at which the time enters the hall of fame, or -1 for none.
int hall_position(float time_ms);
