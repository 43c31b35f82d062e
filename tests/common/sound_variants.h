// Sound files in the many shapes other programs write them, made here byte by
// byte: WAV samples in each encoding SDL's loaders decode, MIDI songs laid
// out as real sequencers lay them out, and damaged files the sound layer must
// refuse. The tests play every valid one on the runtime they run on and check
// every damaged one is refused; the fuzz corpus is written from the same table.
#pragma once

#include <string>

// Which runtimes' SDL_mixer plays a file: the classic SDL 1.2 decodes PCM and
// the two ADPCM encodings itself; SDL 2 under sdl12-compat decodes those and
// µ-law, A-law, 24- and 32-bit PCM, float and the extensible header.
enum VariantPlays { PLAYS_NOWHERE = 0, PLAYS_CLASSIC = 1, PLAYS_COMPAT = 2, PLAYS_BOTH = 3 };

struct SoundVariant {
    const char* name; // its file name: ".wav" a sample, ".mid" a song
    int plays;        // VariantPlays: where the mixer plays it
    const char* what; // what the file is, or what is wrong with it
    std::string (*make)();
};

extern const SoundVariant SOUND_VARIANTS[];
extern const int SOUND_VARIANT_COUNT;

// Whether this process runs on sdl12-compat (which reports 1.2.50 or later)
// rather than the classic SDL 1.2.
bool running_on_sdl12_compat();
// VariantPlays for the runtime this process runs on.
int this_runtime();
