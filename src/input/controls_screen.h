#pragma once

#include "input/controls.h"

#include <SDL/SDL.h>

// 1: left with Escape; 0: quit requested.
int controls_screen(SDL_Surface* screen, PlayerControl controls[PLAYERS], bool& fullscreen);
