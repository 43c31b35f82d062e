#include "tables/characters.h"

// One row per character reads best as a table.
// clang-format off
const CharacterRow CHARACTER_TABLE[CHARACTER_COUNT] = {
    // name    label    portrait   sprites            frame w, h, frames, start x, lane y
    //                                                                      best time x, y  end sound
    {"sonic", "Sonic", PIC_SONIC, PIC_SPRITES_SONIC, {25, 27, 6, 59, 61},  200, 0,  "sonic_end.wav", false},
    {"mario", "Mario", PIC_MARIO, PIC_SPRITES_MARIO, {20, 28, 4, 64, 91},  520, 0,  "mario_end.mid", true},
    {"road",  "Road",  PIC_ROAD,  PIC_SPRITES_ROAD,  {65, 30, 5, 19, 120}, 200, 30, "road_end.mp3",  false},
    {"shrek", "Shrek", PIC_SHREK, PIC_SPRITES_SHREK, {25, 30, 6, 59, 150}, 520, 30, "shrek_end.wav", false},
};
// clang-format on

bool character_in_range(int character) {
    return character >= 0 && character < CHARACTER_COUNT;
}
