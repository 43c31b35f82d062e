// Best-times file and hall-of-fame file.
#pragma once

#include "tables/characters.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

struct HallEntry {
    char name[4];
    float time_ms;
    int32_t character;
};

extern const char* const SCORES_PATH; // "data/scores.dat"
extern const char* const HALL_PATH;   // "data/hall.dat"
// The best-times file holds one time per character, in character order, on
// one line. A file written before a character came holds the first times
// alone, FIRST_SCORE_SLOTS of them at least.
constexpr int SCORE_SLOTS = CHARACTER_COUNT;
constexpr int FIRST_SCORE_SLOTS = 4;
// The slowest time the files keep, which any race beats: the best time a
// character starts with.
constexpr float SLOWEST_TIME_MS = 99999.0f;
constexpr int HALL_LINES = 10;
constexpr int HALL_LINE_WIDTH = 19; // line end included

// mode 0 read, 1 update with *time, other: touch nothing (returns 0.0).
float rw_score(int character, const float* time, int mode);
// The best-times line: the times read in order up to the first that cannot
// be read. A slot the text does not reach reads 0.0, which no time beats,
// unless it is one a later character brought: that one starts at
// SLOWEST_TIME_MS, as in the file the game ships.
void read_score_slots(const char* text, float slots[], int count);
std::string format_score_slots(const float slots[], int count);
long line_offset(FILE* f, int n);
// mode 0 read rank into *entry, other: insert *entry at rank.
void rw_hall(HallEntry* entry, int rank, int mode);
// Rank 0-9 at which the time enters the hall of fame, or -1 for none.
int hall_position(float time_ms);

// A time as the game shows it: "%.3f" of the milliseconds in seconds
// ("12.346" for 12345.678).
void format_seconds(float time_ms, char* out, size_t size);
