// Default record files shipped with the game.
#include "gen_assets.h"

#include "records/records.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {
bool write_text(const std::string& path, const char* text) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "gen_assets: cannot write %s\n", path.c_str());
        return false;
    }
    fputs(text, f);
    return fclose(f) == 0;
}
} // namespace

bool make_data(const std::string& dir) {
    mkdir(dir.c_str(), 0755);
    std::string data = dir + "/data";
    mkdir(data.c_str(), 0755);
    // Characters 0-3; keyboard players on a, z, p and m; joystick buttons 0 and 1.
    bool ok = write_text(data + "/control.dat", "0 1 2 3\n"
                                                "0 0 0 0\n"
                                                "0 0 0 0\n"
                                                "1 1 1 1\n"
                                                "0 0 0 0\n"
                                                "97 122 112 109\n");
    // Best times far slower than any race, so the first finishes replace them.
    float slowest[SCORE_SLOTS];
    for (float& t : slowest)
        t = NO_TIME_MS;
    ok = write_text(data + "/scores.dat", format_score_slots(slowest, SCORE_SLOTS).c_str()) && ok;
    std::string hall;
    const char* names[HALL_LINES] = {"ace", "bob", "cid", "dan", "eve",
                                     "fox", "gus", "hal", "ivy", "jay"};
    for (int r = 0; r < HALL_LINES; ++r) {
        char line[32];
        snprintf(line, sizeof line, "%s %f %d\n", names[r], 90000.0 + 1000.0 * r,
                 r % CHARACTER_COUNT);
        hall += line;
    }
    ok = write_text(data + "/hall.dat", hall.c_str()) && ok;
    return ok;
}
