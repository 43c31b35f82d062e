// The hall-of-fame file as a damaged file: reading never overruns the name;
// an insertion at a valid rank leaves ten whole lines with the entry at its
// rank, and one at any other rank leaves the file as it was.
#include "fuzz_common.h"

#include "records/records.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    int rank = size ? data[0] % 12 - 1 : 0; // -1 to 10: out-of-range ranks too
    fuzz_write_file("data/hall.dat", data, size);
    HallEntry e;
    for (int r = 0; r < HALL_LINES; ++r) {
        memcpy(e.name, "zzz", 4);
        e.time_ms = 1.0f;
        e.character = 0;
        rw_hall(&e, r, 0);
        if (memchr(e.name, 0, sizeof e.name) == nullptr) abort();
    }
    HallEntry in = {"bcd", 23456.75f, 2};
    if (size > 1) in.time_ms = float(data[1]) * 800.0f;
    rw_hall(&in, rank, 1);
    const std::string after = fuzz_read_file("data/hall.dat");
    if (rank < 0 || rank >= HALL_LINES) {
        if (after != std::string(reinterpret_cast<const char*>(data), size)) abort();
        return 0;
    }
    if (after.size() != size_t(HALL_LINES * HALL_LINE_WIDTH)) abort();
    for (int r = 0; r < HALL_LINES; ++r)
        if (!well_formed(after.substr(size_t(r * HALL_LINE_WIDTH), HALL_LINE_WIDTH))) abort();
    // The entry at its rank, its time held to the stored range.
    float want = in.time_ms < 1000.0f ? 1000.0f : in.time_ms > 99999.0f ? 99999.0f : in.time_ms;
    HallEntry back = {"---", -1.0f, -1};
    rw_hall(&back, rank, 0);
    if (memcmp(back.name, "bcd", 4) != 0 || back.time_ms != want || back.character != 2) abort();
    return 0;
}
