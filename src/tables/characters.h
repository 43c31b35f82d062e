// The characters, one row each. A character's number is its index in every
// per-character array and the value the control file and the hall of fame
// store, so the numbering never changes: a new character goes at the end.
#pragma once

#include "tables/pictures.h"
#include "tables/players.h"

enum Character { SONIC = 0, MARIO = 1, ROAD = 2, SHREK = 3, CHARACTER_COUNT };

// Each player runs a character of their own.
static_assert(PLAYERS <= CHARACTER_COUNT, "a character for every player");

// Fixed look of a character's runner.
struct RunnerLook {
    int frameWidth; // the running strip is frames of this size side by side
    int frameHeight;
    int frames;
    int startX; // place on the start line
    int y;      // the runner's lane
};

struct CharacterRow {
    const char* name;  // as the messages name it: "sonic"
    const char* label; // as the pictures letter it: "Sonic"
    PictureNumber portrait;
    PictureNumber sprites; // the running strip
    RunnerLook runner;
    int bestTimeX; // where the race writes the best time on the board picture
    int bestTimeY;
    const char* endSound; // under sounds/, played when the character finishes first
    bool endSoundIsSong;  // a music module rather than a sample
};

extern const CharacterRow CHARACTER_TABLE[CHARACTER_COUNT];

// Whether a value names a character (a damaged file may hold others).
bool character_in_range(int character);
