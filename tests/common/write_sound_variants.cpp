// Writes every sound variant into a folder, for listening to them, trying
// them on another runtime, or seeding the sound fuzzer's corpus:
//   write_sound_variants DIR
#include "common/sound_variants.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    int status = 0;
    for (int i = 0; i < SOUND_VARIANT_COUNT; ++i) {
        const SoundVariant& v = SOUND_VARIANTS[i];
        std::string path = std::string(argv[1]) + "/" + v.name, bytes = v.make();
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
            perror(path.c_str());
            status = 1;
            continue;
        }
        printf("%-38s %-7s %s\n", v.name,
               v.plays == PLAYS_BOTH      ? "both"
               : v.plays == PLAYS_COMPAT  ? "compat"
               : v.plays == PLAYS_CLASSIC ? "classic"
                                          : "refused",
               v.what);
    }
    return status;
}
