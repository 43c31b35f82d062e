#include "screens/screens.h"

int hall_screen(SDL_Surface*, bool&) { return 1; }
