// Where the mixer's built-in MIDI synthesizer finds its instruments: each
// system has its own answer (midi_instruments_posix.cpp,
// midi_instruments_win32.cpp). Called before the mixer opens.
#pragma once

void choose_midi_instruments();
