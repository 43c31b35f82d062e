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

// mode 0 read, 1 update with *time, other: touch nothing (returns 0.0).
float rw_score(int character, const float* time, int mode);
long line_offset(FILE* f, int n);
// mode 0 read rank into *entry, other: insert *entry at rank.
void rw_hall(HallEntry* entry, int rank, int mode);
// Rank 0-9 at which the time enters the hall of fame, or -1 for none.
int hall_position(float time_ms);

// A time as the game shows it: "%.3f" of the milliseconds in seconds
// ("12.346" for 12345.678).
void format_seconds(float time_ms, char* out, size_t size);
