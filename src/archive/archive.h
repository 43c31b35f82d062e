// The packed picture archive: an index of offsets then, per picture, width,
// height and raw 0x00RRGGBB words.
#pragma once

#include "tables/pictures.h"

#include <SDL/SDL.h>
#include <cstdint>

constexpr int INDEX_ENTRIES = PICTURE_COUNT;
constexpr int INDEX_BYTES = INDEX_ENTRIES * 4;
extern const char* const ARCHIVE_PATH; // "pics/pics.dat"

int define_indexTab_size();
int load_index_tab(uint32_t* table, unsigned int size);
SDL_Surface* reload_pic(const uint32_t* table, int index);
void put_pixel(SDL_Surface* surface, int i, uint32_t value);

// The calling order every screen uses: size, table, fill. The table
// is freed with free_index_tab when the screen ends.
uint32_t* open_index_tab();
void free_index_tab(uint32_t* table);
