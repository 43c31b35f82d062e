// Where the screens put things, for the game and for the generator that draws
// the pictures they are put on: both read it from here, so a picture and the
// texts written over it cannot drift apart.
#pragma once

// The font every screen and the race write with (Debian's Comic Neue, under
// this name); the generator letters the pictures with the same face.
constexpr const char* SCREEN_FONT_FILE = "font/comic.ttf";
