// A picture archive of flat pictures with known colours, so screen tests can
// tell by one pixel which picture is drawn where, whatever the game's art.
#pragma once

#include <SDL/SDL.h>

// Colour (0x00RRGGBB) of picture i of the flat archive.
Uint32 solid_colour(int index);
// Writes pics/pics.dat under the working directory: pictures 0-18 at the
// game's sizes, each filled with solid_colour(i). False on error.
bool write_solid_archive();
