// The sound files SDL_mixer may be given: its WAV and MIDI readers trust what
// a file claims, and some damaged files hang them, crash them or make them
// allocate without end. These checks read a file the way the mixer will and
// pass exactly the files it plays on the runtime the game runs on.
#pragma once

// A RIFF WAVE sample the runtime's WAV loader decodes: PCM and both ADPCM
// kinds on the classic SDL 1.2; those, µ-law, A-law and the extensible header
// on sdl12-compat. Its sound data is whole and not empty, and its rate and
// layout are ones the loader and the mixer's conversion survive.
bool wav_playable(const char* path);

// A standard MIDI file the mixer's MIDI reader reads through: every event
// and track header inside the file, each track closed by its end-of-track
// event, nothing the reader would loop on or allocate without bound.
bool midi_playable(const char* path);

// Whether the game runs on sdl12-compat (SDL 2 underneath) rather than the
// classic SDL 1.2; sdl12-compat reports itself as 1.2.50 or later.
bool sound_on_sdl12_compat();
