// The best-times file as a damaged file: reads never fail, and an update leaves
// the new time in its slot and the three others as they were read.
#include "fuzz_common.h"

#include "records/records.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    int slot = size ? data[0] % 4 : 0;
    fuzz_write_file("data/scores.dat", data, size);
    float before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = rw_score(i, nullptr, 0);
    float t = 12345.5f;
    if (rw_score(slot, &t, 1) != t) abort();
    for (int i = 0; i < 4; ++i) {
        float now = rw_score(i, nullptr, 0);
        float want = i == slot ? t : before[i];
        // Values that print with six decimals read back to the same float, apart
        // from huge, infinite or not-a-number values that the text cannot carry.
        if (want == want && want > -1e30f && want < 1e30f && now != want) {
            if (!(now - want < 1e-3f * (want < 0 ? -want : want) + 1e-3f &&
                  want - now < 1e-3f * (want < 0 ? -want : want) + 1e-3f))
                abort();
        }
    }
    rw_score(slot, &t, 7); // any other mode touches nothing
    return 0;
}
