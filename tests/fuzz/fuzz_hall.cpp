// The hall-of-fame file as a damaged file: reading never overruns the name,
// inserting never adds lines.
#include "fuzz_common.h"

#include "records/records.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    int rank = size ? data[0] % 12 - 1 : 0; // -1 to 10: out-of-range ranks too
    fuzz_write_file("data/hall.dat", data, size);
    int lines = fuzz_count_newlines("data/hall.dat");
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
    if (fuzz_count_newlines("data/hall.dat") != lines) abort();
    return 0;
}
