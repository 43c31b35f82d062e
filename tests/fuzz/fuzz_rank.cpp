// The race's rank search over a damaged hall of fame: the rank it finds must
// agree with the ten times as the game reads them, bottom line first into one
// record (a field it cannot read keeps the value of the line below, and the
// bottom line's time starts at 0; a time that is not a number reads as no
// time). Storing the entry finds the same rank in the same file: it writes
// what an insertion at that rank writes, or nothing when there is none.
#include "fuzz_common.h"

#include "race/race.h"
#include "records/records.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    if (size < 5) return 0;
    // Byte 0 picks the time: raw float bits (NaN, infinities, huge values) or
    // a plausible race time; the file follows byte 4.
    float t;
    if (data[0] & 1)
        memcpy(&t, data + 1, sizeof t);
    else
        t = float(data[1] | data[2] << 8) * 1.5f;
    fuzz_write_file("data/hall.dat", data + 5, size - 5);
    float seen[HALL_LINES];
    HallEntry line = {{'\0'}, 0.0f, 0};
    for (int r = HALL_LINES - 1; r >= 0; --r) {
        rw_hall(&line, r, 0);
        seen[r] = line.time_ms;
        if (!std::isfinite(seen[r])) abort();
    }
    const int rank = hall_position(t);
    if (rank < -1 || rank >= HALL_LINES) abort();
    if ((rank == -1) != !(t < seen[HALL_LINES - 1])) abort();
    const std::string old(reinterpret_cast<const char*>(data + 5), size - 5);
    HallEntry entry = {"new", t, 1};
    if (hall_place(&entry) != rank) abort();
    const std::string placed = fuzz_read_file("data/hall.dat");
    if (rank == -1) {
        if (placed != old) abort();
        return 0;
    }
    fuzz_write_file("data/hall.dat", data + 5, size - 5);
    rw_hall(&entry, rank, 1);
    if (fuzz_read_file("data/hall.dat") != placed) abort();
    // Every line from the rank down is beaten (rank 0 may tie the best time).
    for (int r = rank > 0 ? rank : 1; r < HALL_LINES; ++r)
        if (seen[r] <= t) abort();
    if (rank == 0 && !(t <= seen[0])) abort();
    if (rank == 1 && t <= seen[0]) abort();
    if (rank >= 2 && !(seen[rank - 1] <= t)) abort();
    return 0;
}
