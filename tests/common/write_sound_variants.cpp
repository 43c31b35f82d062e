// Writes every sound variant into a folder, for listening to them or trying
// them on another runtime, and lists where each plays:
//   write_sound_variants DIR
// or writes them as seeds of the sound fuzzer's corpus (the loader-choosing
// byte first, those that fit its 4 KiB inputs only):
//   write_sound_variants --fuzz-corpus tests/fuzz/corpus/sound
#include "common/sound_variants.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* where(int plays) {
    switch (plays) {
    case PLAYS_BOTH:
        return "both";
    case PLAYS_COMPAT:
        return "compat";
    case PLAYS_CLASSIC:
        return "classic";
    default:
        return "refused";
    }
}

bool write_file(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f && fclose(f) != 0) ok = false;
    if (!ok) perror(path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    const bool fuzz = argc == 3 && strcmp(argv[1], "--fuzz-corpus") == 0;
    if (argc != 2 && !fuzz) {
        fprintf(stderr, "usage: %s [--fuzz-corpus] DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[argc - 1];
    int status = 0;
    for (int i = 0; i < SOUND_VARIANT_COUNT; ++i) {
        const SoundVariant& v = SOUND_VARIANTS[i];
        std::string bytes = v.make(), name = v.name;
        if (fuzz) {
            // fuzz_sound: an odd first byte for a song, 2 for a WAV sample.
            const bool song = name.compare(name.size() - 4, 4, ".mid") == 0;
            name = (song ? "" : "wav_") + name.substr(0, name.size() - 4);
            bytes.insert(bytes.begin(), char(song ? 1 : 2));
            if (bytes.size() > 4096) continue;
        }
        if (!write_file(dir + "/" + name, bytes)) {
            status = 1;
            continue;
        }
        printf("%-38s %-7s %s\n", name.c_str(), where(v.plays), v.what);
    }
    return status;
}
