// The pictures of the archive, one maker per kind.
#pragma once

#include "tables/characters.h"
#include "tables/layout.h"
#include "raster.h"

// Characters, numbered as in the game's character table: 0 sonic (the blue
// sprinter), 1 mario (the little red imp), 2 road (the purple long-legged
// bird), 3 shrek (the green troll). Each has its art in pic_people.cpp, and
// the generator does not build while one of the table's has none.

// A head-and-shoulders portrait in a 30 x 30 local box (set the canvas
// transform to place and scale it).
void draw_portrait(Canvas& c, int who);
ArchivePicture make_portrait(int who, int size = 30);
// The running strip of a character: frames side by side, on key grey, sized
// as the character table says.
ArchivePicture make_run_strip(int who);
// One running pose (phase 0..1 through the stride) in the character's own
// drawing space, about a frame's size.
void draw_runner(Canvas& c, int who, float phase);

ArchivePicture make_explosion();
ArchivePicture make_arrow();
ArchivePicture make_keyboard_icon();
ArchivePicture make_joystick_icon();
ArchivePicture make_mouse_icon();

ArchivePicture make_menu_background();
ArchivePicture make_controls_background();
ArchivePicture make_hall_background();

ArchivePicture make_terrain();
ArchivePicture make_board();
ArchivePicture make_chrono();

// Shared look: the outline colour of every figure.
const Rgb INK = {29, 20, 48};
