// Little sound files for tests of code that plays sounds.
#pragma once

#include "platform/sound.h"

#include <string>

// Writes a short silent 8-bit mono WAV file (directories must exist).
bool write_test_wav(const std::string& path);
// Writes a minimal one-track MIDI file holding only the end of its track.
bool write_test_midi(const std::string& path);
// Writes and loads them through the sound layer (its mixer must be open).
FSOUND_SAMPLE* test_sample(const std::string& path);
FMUSIC_MODULE* test_song(const std::string& path);
