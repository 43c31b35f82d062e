// The best-times file as a damaged file: reads never fail and never give a
// time that is not a number or is infinite, and an update leaves either the old
// file or the new text (the four slots as read, the new time in its own),
// returning the slot's value accordingly. A finish's update writes only a
// strictly better time.
#include "fuzz_common.h"

#include "records/records.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    int slot = size ? data[0] % 4 : 0;
    fuzz_write_file("data/scores.dat", data, size);
    const std::string old(reinterpret_cast<const char*>(data), size);
    float before[4];
    for (int i = 0; i < 4; ++i) {
        before[i] = rw_score(i, nullptr, 0);
        if (!std::isfinite(before[i])) abort();
    }
    // A finish: its time, from the input's second byte, replaces a worse one only.
    const float finish = size > 1 ? float(data[1]) * 500.0f : 40000.0f;
    const float kept = save_best_time(slot, finish);
    const std::string finished = fuzz_read_file("data/scores.dat");
    if (before[slot] > finish) {
        float slots[4];
        memcpy(slots, before, sizeof slots);
        slots[slot] = finish;
        char text[256];
        snprintf(text, sizeof text, "%f %f %f %f", double(slots[0]), double(slots[1]),
                 double(slots[2]), double(slots[3]));
        if (kept != finish || finished != text) abort();
    } else if (memcmp(&kept, &before[slot], sizeof kept) != 0 || finished != old) {
        abort();
    }
    fuzz_write_file("data/scores.dat", data, size);
    float t = 12345.5f;
    const float got = rw_score(slot, &t, 1);
    float slots[4];
    memcpy(slots, before, sizeof slots);
    slots[slot] = t;
    char text[256];
    snprintf(text, sizeof text, "%f %f %f %f", double(slots[0]), double(slots[1]), double(slots[2]),
             double(slots[3]));
    const std::string now = fuzz_read_file("data/scores.dat");
    if (now == text) {
        if (got != t) abort();
    } else if (now == old) {
        if (memcmp(&got, &before[slot], sizeof got) != 0) abort();
    } else {
        abort(); // neither the old file nor the new text
    }
    for (int i = 0; i < 4; ++i) {
        float now_i = rw_score(i, nullptr, 0);
        float want = i == slot ? t : before[i];
        // Values that print with six decimals read back to the same float, apart
        // from huge, infinite or not-a-number values that the text cannot carry.
        if (want == want && want > -1e30f && want < 1e30f && now_i != want) {
            if (!(now_i - want < 1e-3f * (want < 0 ? -want : want) + 1e-3f &&
                  want - now_i < 1e-3f * (want < 0 ? -want : want) + 1e-3f))
                abort();
        }
    }
    rw_score(slot, &t, 7); // any other mode touches nothing
    if (fuzz_read_file("data/scores.dat") != text) abort();
    return 0;
}
