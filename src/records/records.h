// Best-times file and hall-of-fame file.
#pragma once

#include <cstdint>
#include <cstdio>

struct HallEntry {
    char name[4];
    float time_ms;
    int32_t character;
};

extern const char* const SCORES_PATH; // "data/scores.dat"
extern const char* const HALL_PATH;   // "data/hall.dat"
constexpr int HALL_LINES = 10;
constexpr int HALL_LINE_WIDTH = 19; // line end included
// What a time that is not a number or is infinite reads as, in either file:
// the slowest time a hall line holds, the templates' "no time yet", which a
// race beats.
constexpr float NO_TIME_MS = 99999.0f;

// mode 0 read, 1 update with *time, other: touch nothing (returns 0.0).
float rw_score(int character, const float* time, int mode);
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
// Inserts the entry at the rank its time has in the file as it is now, which
// another game may have changed since hall_rank; returns that rank, or -1 when
// the time no longer makes the ten and nothing is written.
int hall_place(const HallEntry* entry);
