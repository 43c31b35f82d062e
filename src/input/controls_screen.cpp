#include "input/controls_screen.h"

int controls_screen(SDL_Surface*, PlayerControl*, bool&) { return 1; }
