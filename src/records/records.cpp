#include "records/records.h"

#include "tables/characters.h"
#include "platform/record_file.h"
#include "platform/system.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

const char* const SCORES_PATH = "data/scores.dat";
const char* const HALL_PATH = "data/hall.dat";

// A hall line keeps one digit for the character.
static_assert(CHARACTER_COUNT <= 10, "hall lines hold a one-digit character");

namespace {

// Writes the slots with the character's slot replaced by time; the slots keep
// the old values when the save fails.
void save_slot(RecordFile& file, float slots[SCORE_SLOTS], int character, const float* time) {
    float updated[SCORE_SLOTS];
    std::memcpy(updated, slots, sizeof updated);
    std::memcpy(&updated[character], time, sizeof(float));
    if (save_record(file, format_score_slots(updated, SCORE_SLOTS)))
        std::memcpy(slots, updated, sizeof updated);
}

} // namespace

float rw_score(int character, const float* time, int mode) {
    RecordFile file = mode == 1 ? open_record_to_update(SCORES_PATH) : open_record(SCORES_PATH);
    if (file.state == RECORD_CANNOT_OPEN) fatal("Erreur de chargement du fichier de scores");
    float slots[SCORE_SLOTS];
    const bool slot_ok = character_in_range(character);
    float result = 0.0f;
    if (mode == 0 || mode == 1) {
        read_score_slots(file.text.c_str(), slots, SCORE_SLOTS);
        if (mode == 1 && slot_ok && time) save_slot(file, slots, character, time);
        if (slot_ok) result = slots[character];
    }
    close_record(file);
    return result;
}

float save_best_time(int character, float time_ms) {
    RecordFile file = open_record_to_update(SCORES_PATH);
    if (file.state == RECORD_CANNOT_OPEN) fatal("Erreur de chargement du fichier de scores");
    float slots[SCORE_SLOTS];
    read_score_slots(file.text.c_str(), slots, SCORE_SLOTS);
    float result = 0.0f;
    if (character_in_range(character)) {
        if (slots[character] > time_ms) save_slot(file, slots, character, &time_ms);
        result = slots[character];
    }
    close_record(file);
    return result;
}

void read_score_slots(const char* text, float slots[], int count) {
    for (int i = 0; i < count; ++i)
        slots[i] = i < FIRST_SCORE_SLOTS ? 0.0f : NO_TIME_MS;
    // As one scanf over the line would: each number after white space, if any.
    const char* p = text;
    for (int i = 0; i < count; ++i) {
        float value = 0.0f;
        int used = 0;
        if (sscanf(p, "%f%n", &value, &used) != 1) break;
        slots[i] = std::isfinite(value) ? value : NO_TIME_MS;
        p += used;
    }
}

std::string format_score_slots(const float slots[], int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        char number[64];
        snprintf(number, sizeof number, i ? " %f" : "%f", double(slots[i]));
        text += number;
    }
    return text;
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

// The text of line n without its line end; false when the file has no line n.
static bool line_text(const std::string& text, int n, std::string* line) {
    size_t start = 0;
    for (int seen = 0; seen < n; ++seen) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return false;
        start = nl + 1;
    }
    if (start >= text.size()) return false;
    size_t end = text.find('\n', start);
    *line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    return true;
}

// Reads one line's fields into *entry. Field by field, so whatever cannot be
// read keeps its value; a name or time that cannot be scanned leaves the
// fields after it too. True when all three were read.
static bool read_hall_fields(const std::string& line, HallEntry* entry) {
    // The name is cut to three characters and the rest of a longer token
    // skipped, so the time and character are still taken from their own fields.
    const char* p = line.c_str();
    char name[4];
    int used = 0;
    if (sscanf(p, " %3s%n", name, &used) != 1) return false;
    std::memcpy(entry->name, name, sizeof name);
    p += used;
    while (*p && !std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    float t;
    if (sscanf(p, "%f%n", &t, &used) != 1) return false;
    // Not a number, or infinite: no time, and one a race beats.
    const bool finite = std::isfinite(t);
    entry->time_ms = finite ? t : NO_TIME_MS;
    p += used;
    // A character with no portrait is as good as unreadable; a number beyond
    // int is out of range, not wrapped into it.
    char* end = nullptr;
    errno = 0;
    long long character = strtoll(p, &end, 10);
    const bool character_ok =
        end != p && errno == 0 && character >= 0 && character < CHARACTER_COUNT;
    if (character_ok) entry->character = int32_t(character);
    return finite && character_ok;
}

static void read_hall_line(const std::string& text, HallEntry* entry, int rank) {
    std::string line;
    if (line_text(text, rank, &line)) read_hall_fields(line, entry);
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

// What a line that cannot be read is stored as: the values the line format
// gives a name, a time and a character it cannot take, a time that any race
// beats.
static const HallEntry UNREADABLE_LINE = {{'a', 'a', 'a', '\0'}, NO_TIME_MS, 0};

// Line r as an insertion writes it back: byte for byte as it was when it
// reads whole at the fixed width (a name typed by hand such as "ACE" stays);
// otherwise in the standard form, what can be read of it kept and the rest
// taken from the placeholder.
static std::string line_moved(const std::string& text, int r) {
    HallEntry row = UNREADABLE_LINE;
    std::string line;
    if (line_text(text, r, &line) && read_hall_fields(line, &row) &&
        line.size() == size_t(HALL_LINE_WIDTH - 1))
        return line + '\n';
    char out[64];
    format_hall_line(&row, out, sizeof out);
    return std::string(out) + '\n';
}

// The lines above the rank, the entry, the lines below moved down one; the
// old last line is lost. False when the save failed.
static bool insert_entry(RecordFile& file, const HallEntry* entry, int rank) {
    std::string text;
    for (int r = 0; r < HALL_LINES; ++r) {
        if (r < rank) {
            text += line_moved(file.text, r);
        } else if (r > rank) {
            text += line_moved(file.text, r - 1);
        } else {
            char line[64];
            format_hall_line(entry, line, sizeof line);
            text += line;
            text += '\n';
        }
    }
    return save_record(file, text);
}

// The race's rules over the text: read from the tenth line up, into one
// record, so a field that cannot be read takes the value of the line below,
// and a tenth line that cannot be read takes no one. A tie goes after the tied
// line, except a tie with the best time, which goes before it.
static int rank_in(const std::string& text, float time_ms) {
    HallEntry line = {{'\0'}, 0.0f, 0};
    read_hall_line(text, &line, HALL_LINES - 1);
    if (!(time_ms < line.time_ms)) return -1;
    int i = HALL_LINES - 1;
    for (;;) {
        read_hall_line(text, &line, i);
        if (i == 0 || line.time_ms <= time_ms) break;
        --i;
    }
    if (i >= 1) return i + 1;
    return time_ms <= line.time_ms ? 0 : 1;
}

static void report_no_hall() {
    fputs("Erreur de chargement du fichier hall\n", stderr);
}

void rw_hall(HallEntry* entry, int rank, int mode) {
    if (!entry || rank < 0 || rank >= HALL_LINES) return;
    RecordFile file = mode == 0 ? open_record(HALL_PATH) : open_record_to_update(HALL_PATH);
    if (file.state == RECORD_CANNOT_OPEN) {
        report_no_hall();
        return;
    }
    if (mode == 0)
        read_hall_line(file.text, entry, rank);
    else
        insert_entry(file, entry, rank);
    close_record(file);
}

int hall_rank(float time_ms) {
    RecordFile file = open_record(HALL_PATH);
    if (file.state == RECORD_CANNOT_OPEN) {
        report_no_hall();
        return -1;
    }
    const int rank = rank_in(file.text, time_ms);
    close_record(file);
    return rank;
}

int hall_place(const HallEntry* entry) {
    if (!entry) return -1;
    RecordFile file = open_record_to_update(HALL_PATH);
    if (file.state == RECORD_CANNOT_OPEN) {
        report_no_hall();
        return -1;
    }
    int rank = rank_in(file.text, entry->time_ms);
    if (rank >= 0 && !insert_entry(file, entry, rank)) rank = -1;
    close_record(file);
    return rank;
}

int hall_position(float time_ms) {
    return hall_rank(time_ms);
}

void format_seconds(float time_ms, char* out, size_t size) {
    snprintf(out, size, "%.3f", time_ms / 1000);
}
