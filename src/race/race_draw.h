// The race's drawing, for the race alone (and its tests).
#pragma once

#include "race/race.h"

void race_draw_board(Race& race);
void race_paint_best_times(Race& race);
void race_draw_terrain(Race& race);
void race_draw_chrono(Race& race);
void race_paint_go(Race& race);
void race_draw_countdown(Race& race);
void race_draw_runners(Race& race);
void race_paint_finish_mark(Race& race, int character);
// Once the race is complete: says that Escape goes on (to the hall of fame and the menu).
void race_draw_continue_hint(Race& race);
// Frees what the drawing made for this race alone.
void race_release_drawing(Race& race);
