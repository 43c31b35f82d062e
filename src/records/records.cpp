#include "records/records.h"

#include "race/characters.h"
#include "shell/platform.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <unistd.h>

const char* const SCORES_PATH = "data/scores.dat";
const char* const HALL_PATH = "data/hall.dat";

static const int SCORE_SLOTS = CHARACTER_COUNT;
// The best-times line holds one number per character, written out below.
static_assert(SCORE_SLOTS == 4, "rw_score reads and writes four times");
// A hall line keeps one digit for the character.
static_assert(CHARACTER_COUNT <= 10, "hall lines hold a one-digit character");

float rw_score(int character, const float* time, int mode) {
    FILE* f = fopen(SCORES_PATH, "r+");
    if (!f) fatal("Erreur de chargement du fichier de scores");
    float slots[SCORE_SLOTS] = {0.0f, 0.0f, 0.0f, 0.0f};
    const bool slot_ok = character_in_range(character);
    fseek(f, 0, SEEK_SET);
    float result = 0.0f;
    if (mode == 0 || mode == 1) {
        // Slots the scan does not reach (a short or empty file) stay 0.0.
        fscanf(f, "%f %f %f %f", &slots[0], &slots[1], &slots[2], &slots[3]);
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

// Where line n starts and how long it is without its line end; false when the
// file has no line n.
static bool line_span(FILE* f, int n, long* start, long* length) {
    *start = line_offset(f, n);
    long len = 0;
    int c = fgetc(f);
    if (c == EOF) return false;
    while (c != EOF && c != '\n') {
        ++len;
        c = fgetc(f);
    }
    *length = len;
    return true;
}

// Replaces a line's text in place, cut or padded with spaces to the line's own
// length. On a sound file every line is the same length and nothing is cut or
// padded; on a damaged one the line ends stay where they are, so the file
// keeps its lines and its size.
static void write_line(FILE* f, long start, long length, const std::string& text) {
    std::string fitted = text.substr(0, size_t(length));
    fitted.resize(size_t(length), ' ');
    fseek(f, start, SEEK_SET);
    fwrite(fitted.data(), 1, fitted.size(), f);
}

// The text of line n (line end excluded), at most max characters.
static std::string line_text(FILE* f, int n, long max) {
    std::string text;
    fseek(f, line_offset(f, n), SEEK_SET);
    for (int c; long(text.size()) < max && (c = fgetc(f)) != EOF && c != '\n';)
        text += char(c);
    return text;
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
    if (sscanf(p, "%d", &character) == 1 && character_in_range(character))
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
    int character = character_in_range(entry->character) ? entry->character : 0;
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
    // Shift lines rank..8 down by one, bottom first; the old last line is lost.
    // Lines the file does not have are neither written nor made.
    long start = 0;
    long length = 0;
    for (int b = HALL_LINES - 1; b > rank; --b)
        if (line_span(f, b, &start, &length))
            write_line(f, start, length, line_text(f, b - 1, length));
    if (line_span(f, rank, &start, &length)) {
        char text[64];
        format_hall_line(entry, text, sizeof text);
        write_line(f, start, length, text);
    }
    fclose(f);
}
