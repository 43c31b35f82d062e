// Samples for tests of code that plays sounds: real ones when the sound layer
// can load them, otherwise distinct stand-in handles the layer never sees used.
#pragma once

#include "shell/sound.h"

#include <cstdint>
#include <string>

// Writes a short silent 8-bit mono WAV file (directories must exist).
bool write_test_wav(const std::string& path);
// Writes a minimal one-track MIDI file holding only the end of its track.
bool write_test_midi(const std::string& path);
// Loads the WAV at path; when the layer cannot, returns the stand-in handle
// numbered n (non-null, never dereferenced by a layer that loads nothing).
FSOUND_SAMPLE* test_sample(const std::string& path, uintptr_t n);
FMUSIC_MODULE* test_song(const std::string& path, uintptr_t n);
// True once a WAV written by write_test_wav loads through the sound layer.
bool sound_layer_loads(const std::string& path);
