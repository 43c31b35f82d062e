#include "records/records.h"

#include "shell/platform.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <unistd.h>

const char* const SCORES_PATH = "data/scores.dat";
const char* const HALL_PATH = "data/hall.dat";

static const int SCORE_SLOTS = 4;

float rw_score(int character, const float* time, int mode) {
    FILE* f = fopen(SCORES_PATH, "r+");
    if (!f) fatal("Erreur de chargement du fichier de scores");
    float slots[SCORE_SLOTS] = {0.0f, 0.0f, 0.0f, 0.0f};
    const bool slot_ok = character >= 0 && character < SCORE_SLOTS;
    fseek(f, 0, SEEK_SET);
    float result = 0.0f;
    if (mode == 0 || mode == 1) {
        // Slots the scan does not reach stay 0.0.
        if (fscanf(f, "%f %f %f %f", &slots[0], &slots[1], &slots[2], &slots[3]) < 0) {
            // Empty file: four zeros.
        }
        if (mode == 1 && slot_ok && time) {
            fseek(f, 0, SEEK_SET);
            std::memcpy(&slots[character], time, sizeof(float));
            fprintf(f, "%f %f %f %f", double(slots[0]), double(slots[1]), double(slots[2]),
                    double(slots[3]));
            // Cut what an older, longer text left behind the fourth number,
            // or the next scan would read it as more digits.
            fflush(f);
            if (ftruncate(fileno(f), ftell(f)) != 0) perror(SCORES_PATH);
        }
        if (slot_ok) result = slots[character];
    }
    fclose(f);
    return result;
}

long line_offset(FILE* f, int n) {
    if (!f) return 0;
    fseek(f, 0, SEEK_SET);
    for (int seen = 0; seen < n;) {
        int c = fgetc(f);
        if (c == EOF) break;
        if (c == '\n') ++seen;
    }
    return ftell(f);
}

static long file_size(FILE* f) {
    fseek(f, 0, SEEK_END);
    return ftell(f);
}

// A line exists when it starts before the end of the file.
static bool line_exists(FILE* f, int n, long size) {
    return line_offset(f, n) < size;
}

// Writes text at pos, but never past the end of the file: a short or damaged
// hall file keeps its size.
static void write_within(FILE* f, long pos, const char* text, long size) {
    long len = long(std::strlen(text));
    if (pos + len > size) len = size - pos;
    if (len <= 0) return;
    fseek(f, pos, SEEK_SET);
    fwrite(text, 1, size_t(len), f);
}

static void read_hall_line(FILE* f, HallEntry* entry, int rank) {
    fseek(f, line_offset(f, rank), SEEK_SET);
    char line[128];
    if (!fgets(line, sizeof line, f)) return;
    // Field by field, so whatever cannot be read keeps its value. The name is
    // cut to three characters and the rest of a longer token skipped, so the
    // time and character are still taken from their own fields.
    const char* p = line;
    char name[4];
    int used = 0;
    if (sscanf(p, " %3s%n", name, &used) != 1) return;
    std::memcpy(entry->name, name, sizeof name);
    p += used;
    while (*p && !std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    float t;
    if (sscanf(p, "%f%n", &t, &used) != 1) return;
    entry->time_ms = t;
    p += used;
    int character;
    // A character with no portrait is as good as unreadable.
    if (sscanf(p, "%d", &character) == 1 && character >= 0 && character <= 3)
        entry->character = character;
}

// Every stored line keeps its fixed width: three lower-case letters, a time of
// twelve characters, a one-digit character.
static void format_hall_line(const HallEntry* entry, char* out, size_t size) {
    char name[4] = "aaa";
    bool letters = true;
    for (int i = 0; i < 3; ++i)
        if (entry->name[i] < 'a' || entry->name[i] > 'z') letters = false;
    if (letters) std::memcpy(name, entry->name, 3); // byte 3 need not be the zero
    double t = entry->time_ms;
    if (!(t >= 1000.0)) t = std::isnan(t) ? 99999.0 : 1000.0;
    if (t > 99999.0) t = 99999.0;
    int character = entry->character >= 0 && entry->character <= 3 ? entry->character : 0;
    // Below ten seconds the leading zero keeps the time twelve characters wide.
    snprintf(out, size, t >= 10000.0 ? "%s %f %d" : "%s 0%f %d", name, t, character);
}

void rw_hall(HallEntry* entry, int rank, int mode) {
    if (!entry || rank < 0 || rank >= HALL_LINES) return;
    FILE* f = fopen(HALL_PATH, "r+");
    if (!f) {
        fputs("Erreur de chargement du fichier hall\n", stderr);
        return;
    }
    if (mode == 0) {
        read_hall_line(f, entry, rank);
        fclose(f);
        return;
    }
    const long size = file_size(f);
    // Shift lines rank..8 down by one, bottom first; the old last line is lost.
    // Lines the file does not have are neither written nor made.
    for (int b = HALL_LINES - 1; b > rank; --b) {
        if (!line_exists(f, b, size)) continue;
        char buf[HALL_LINE_WIDTH + 1];
        fseek(f, line_offset(f, b - 1), SEEK_SET);
        if (!fgets(buf, sizeof buf, f)) continue;
        write_within(f, line_offset(f, b), buf, size);
    }
    if (line_exists(f, rank, size)) {
        char text[64];
        format_hall_line(entry, text, sizeof text);
        // No line end: the one of the replaced line stays.
        write_within(f, line_offset(f, rank), text, size);
    }
    fclose(f);
}
