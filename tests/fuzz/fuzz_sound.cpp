// The song, MP3 and WAV sample loaders over any bytes: a file they cannot play
// is refused, never a crash, a hang or a leak; and every WAV or song the sound
// layer's check passes, the mixer loads (the check follows the mixer's own
// readers, so passing a file they refuse means it no longer reads them
// right). Byte 0 picks the loader. It runs on whichever SDL 1.2 it is linked
// to: LD_LIBRARY_PATH pointing at sdl12-compat fuzzes SDL 2's WAV loader.
#include "fuzz_common.h"

#include "platform/sound.h"
#include "platform/sound_files.h"

#include <SDL/SDL.h>
#include <cstdio>
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
        bool passed = midi_playable("song.mid");
        FMUSIC_MODULE* song = FMUSIC_LoadSong("song.mid");
        if (passed && !song) {
            fprintf(stderr, "the check passed a song the mixer refuses\n");
            abort();
        }
        if (song) FMUSIC_FreeSong(song);
    } else {
        const bool wav = data[0] & 2;
        const char* name = wav ? "sample.wav" : "sample.mp3";
        fuzz_write_file(name, data + 1, size - 1);
        bool passed = wav && wav_playable(name);
        FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, name, 0, 0, 0);
        if (passed && !sample) {
            fprintf(stderr, "the check passed a WAV the mixer refuses: %s\n", SDL_GetError());
            abort();
        }
        if (sample) FSOUND_Sample_Free(sample);
    }
    return 0;
}
