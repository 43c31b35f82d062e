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
constexpr int HALL_LINES = 10;
constexpr int HALL_LINE_WIDTH = 19; // line end included
// What a time that is not a number or is infinite reads as, in either file:
// the slowest time a hall line holds, the templates' "no time yet", which a
// race beats. A character's best time starts there.
constexpr float NO_TIME_MS = 99999.0f;

// mode 0 read, 1 update with *time, other: touch nothing (returns 0.0).
float rw_score(int character, const float* time, int mode);
// The best-times line: the times read in order up to the first that cannot
// be read, one that is not a number or is infinite read as NO_TIME_MS. A slot
// the text does not reach reads 0.0, which no time beats, unless it is one a
// later character brought: that one starts at NO_TIME_MS, as in the file the
// game ships.
void read_score_slots(const char* text, float slots[], int count);
std::string format_score_slots(const float slots[], int count);
// A finish: the time replaces the stored one only when strictly smaller, the
// reading, the comparison and the save done as one update. Returns the slot's
// value after the call.
float save_best_time(int character, float time_ms);
// The offset of line n of f, opened in binary mode: a text-mode stream on
// Windows gives offsets of its own.
long line_offset(FILE* f, int n);
// mode 0 read rank into *entry, other: insert *entry at rank.
void rw_hall(HallEntry* entry, int rank, int mode);
// Rank 0-9 at which a time would enter the hall of fame as it stands, or -1.
int hall_rank(float time_ms);
// The same, as the hall-of-fame placements ask it: it only decides whether the
// name is asked for, the entry is placed by its time when it is stored.
int hall_position(float time_ms);
// Inserts the entry at the rank its time has in the file as it is now, which
// another game may have changed since hall_rank; returns that rank, or -1 when
// the time no longer makes the ten and nothing is written.
int hall_place(const HallEntry* entry);

// A time as the game shows it: "%.3f" of the milliseconds in seconds
// ("12.346" for 12345.678).
void format_seconds(float time_ms, char* out, size_t size);
