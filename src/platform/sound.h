// The game's sound layer: the few sample and music operations the game uses,
// with the names and results its callers rely on, played through SDL_mixer
// (MP3 samples decoded with libmpg123, the MIDI song through timidity).
#pragma once

#include <cstdint>

struct FSOUND_SAMPLE;
struct FMUSIC_MODULE;

constexpr int FSOUND_FREE = -1;

// Opens the mixer (SDL's audio subsystem must be started). True on success.
bool FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int flags);
// Loads a WAV or MP3 sample; null when the file cannot be loaded.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset,
                                  int length);
// Starts the sample once on a free channel; returns the channel or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);
// Stops the sample wherever it plays and releases it; null is ignored.
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
FMUSIC_MODULE* FMUSIC_LoadSong(const char* name);
bool FMUSIC_SetLooping(FMUSIC_MODULE* mod, bool looping);
bool FMUSIC_PlaySong(FMUSIC_MODULE* mod);
bool FMUSIC_FreeSong(FMUSIC_MODULE* mod);
// Stops every sound and closes the mixer.
void FSOUND_Close();

// For tests and benchmarks: how many times a sample has been started, and the
// last one started (null when none).
long sound_play_count();
const FSOUND_SAMPLE* sound_last_played();
long music_play_count();
// Length of a loaded sample at the mixer's rate, in ms (0 for null or when
// the mixer is closed).
long sound_sample_length_ms(const FSOUND_SAMPLE* sample);
