// The song, MP3 and WAV sample loaders over any bytes: a file they cannot play
// is refused, never a crash, a hang or a leak. Byte 0 picks the loader.
#include "fuzz_common.h"

#include "platform/sound.h"

#include <SDL/SDL.h>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    static bool started = false;
    if (!started) {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (SDL_Init(SDL_INIT_AUDIO) != 0 || !FSOUND_Init(44100, 32, 0)) abort();
        started = true;
    }
    if (size == 0) return 0;
    if (data[0] & 1) {
        fuzz_write_file("song.mid", data + 1, size - 1);
        FMUSIC_MODULE* song = FMUSIC_LoadSong("song.mid");
        if (song) FMUSIC_FreeSong(song);
    } else {
        const char* name = data[0] & 2 ? "sample.wav" : "sample.mp3";
        fuzz_write_file(name, data + 1, size - 1);
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, name, 0, 0, 0);
        if (sample) FSOUND_Sample_Free(sample);
    }
    return 0;
}
