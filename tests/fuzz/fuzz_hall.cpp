// The hall-of-fame file as a damaged file: reading never overruns the name
// nor gives a time that is not a number; an insertion at a valid rank leaves
// ten lines of the fixed width with the entry at its rank, every old line that
// reads whole at that width moved byte for byte and every other one written in
// the standard form of what can be read of it; one at any other rank leaves
// the file as it was.
#include "fuzz_common.h"

#include "records/records.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// "abc 01234.567890 2\n": three letters, a twelve-character time, a character 0-3.
bool well_formed(const std::string& line) {
    static const char shape[] = "aaa 00000.000000 0\n";
    if (line.size() != sizeof shape - 1) return false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        switch (shape[i]) {
        case 'a':
            if (c < 'a' || c > 'z') return false;
            break;
        case '0':
            if (c < '0' || c > (i == 17 ? '3' : '9')) return false;
            break;
        default:
            if (c != shape[i]) return false;
        }
    }
    return true;
}

// Line n of the text without its line end, as the game counts lines.
bool old_line(const std::string& text, int n, std::string* line) {
    size_t start = 0;
    for (int i = 0; i < n; ++i) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return false;
        start = nl + 1;
    }
    if (start >= text.size()) return false;
    *line = text.substr(start, text.find('\n', start) - start);
    return true;
}

// What the game reads of line n, and which fields it read: a field is read
// when two readings starting from different values agree on it.
struct Reading {
    HallEntry entry;
    bool name, time, character;
};

Reading read_line(int n) {
    HallEntry a = {"#1#", -1.0f, -1}, b = {"#2#", -2.0f, -2};
    rw_hall(&a, n, 0);
    rw_hall(&b, n, 0);
    if (memchr(a.name, 0, sizeof a.name) == nullptr) abort();
    if (!std::isfinite(a.time_ms)) abort();
    return {a, memcmp(a.name, b.name, sizeof a.name) == 0, a.time_ms == b.time_ms,
            a.character == b.character};
}

// The standard form of a line: what was read, placeholders for the rest, held
// to what the fixed width holds.
std::string standard_form(const Reading& r) {
    const bool letters = r.name && strlen(r.entry.name) == 3 &&
                         strspn(r.entry.name, "abcdefghijklmnopqrstuvwxyz") == 3;
    double t = r.time ? r.entry.time_ms : 99999.0;
    t = t < 1000.0 ? 1000.0 : t > 99999.0 ? 99999.0 : t;
    char line[64];
    snprintf(line, sizeof line, t >= 10000.0 ? "%s %f %d\n" : "%s 0%f %d\n",
             letters ? r.entry.name : "aaa", t, r.character ? int(r.entry.character) : 0);
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    int rank = size ? data[0] % 12 - 1 : 0; // -1 to 10: out-of-range ranks too
    const std::string old(reinterpret_cast<const char*>(data), size);
    fuzz_write_file("data/hall.dat", data, size);
    Reading before[HALL_LINES];
    for (int r = 0; r < HALL_LINES; ++r)
        before[r] = read_line(r);
    HallEntry in = {"bcd", 23456.75f, 2};
    if (size > 1) in.time_ms = float(data[1]) * 800.0f;
    rw_hall(&in, rank, 1);
    const std::string after = fuzz_read_file("data/hall.dat");
    if (rank < 0 || rank >= HALL_LINES) {
        if (after != old) abort();
        return 0;
    }
    if (after.size() != size_t(HALL_LINES * HALL_LINE_WIDTH)) abort();
    for (int r = 0; r < HALL_LINES; ++r) {
        const std::string now = after.substr(size_t(r * HALL_LINE_WIDTH), HALL_LINE_WIDTH);
        if (r == rank) {
            if (!well_formed(now)) abort();
            continue;
        }
        const int from = r < rank ? r : r - 1;
        const Reading& was = before[from];
        std::string line;
        const bool whole = old_line(old, from, &line) &&
                           line.size() == size_t(HALL_LINE_WIDTH - 1) && was.name && was.time &&
                           was.character;
        if (whole && now == line + "\n") continue;
        // A time that is not a number reads as the placeholder: such a line is
        // rewritten though it looks read whole.
        if (whole && was.entry.time_ms != NO_TIME_MS) abort();
        if (!well_formed(now) || now != standard_form(was)) abort();
    }
    // The entry at its rank, its time held to the stored range.
    float want = in.time_ms < 1000.0f ? 1000.0f : in.time_ms > 99999.0f ? 99999.0f : in.time_ms;
    HallEntry back = {"---", -1.0f, -1};
    rw_hall(&back, rank, 0);
    if (memcmp(back.name, "bcd", 4) != 0 || back.time_ms != want || back.character != 2) abort();
    return 0;
}
