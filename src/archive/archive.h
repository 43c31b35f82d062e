// The packed picture archive: an index of offsets then, per picture, width,
// height and raw 0x00RRGGBB words.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

constexpr int INDEX_ENTRIES = 19;
constexpr int INDEX_BYTES = INDEX_ENTRIES * 4;
extern const char* const ARCHIVE_PATH; // "pics/pics.dat"

// Picture numbers in the archive.
enum PictureNumber {
    PIC_MENU = 0,
    PIC_OPTION = 1,
    PIC_HALL = 2,
    PIC_TERRAIN = 3,
    PIC_CLAVIER = 4,
    PIC_JOYSTICK = 5,
    PIC_SOURIS = 6,
    PIC_SONIC = 7,
    PIC_MARIO = 8,
    PIC_ROAD = 9,
    PIC_SHREK = 10,
    PIC_SPRITES_SONIC = 11,
    PIC_SPRITES_MARIO = 12,
    PIC_SPRITES_ROAD = 13,
    PIC_SPRITES_SHREK = 14,
    PIC_EXPLODE = 15,
    PIC_BOARD = 16,
    PIC_CHRONO = 17,
    PIC_ARROW = 18,
};

int define_indexTab_size();
int load_index_tab(uint32_t* table, unsigned int size);
SDL_Surface* reload_pic(const uint32_t* table, int index);
void put_pixel(SDL_Surface* surface, int i, uint32_t value);

// The calling order every screen uses: size, 19-entry table, fill. The table
// is freed with free_index_tab when the screen ends.
uint32_t* open_index_tab();
void free_index_tab(uint32_t* table);
