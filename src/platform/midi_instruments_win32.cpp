// MIDI instruments on Windows: the game's folder carries Debian's freepats
// set and its timidity.cfg under timidity\. The mixer's built-in synthesizer
// reads TIMIDITY_CFG; a value of the player's own, or the one the start-up
// set for a game whose records live elsewhere, is left alone. The mixer is
// built without FluidSynth, so no SoundFont is ever looked for.
#include "platform/midi_instruments.h"

#include <cstdlib>
#include <io.h>

void choose_midi_instruments() {
    const char* cfg = "timidity/timidity.cfg";
    if (getenv("TIMIDITY_CFG") == nullptr && _access(cfg, 4) == 0) _putenv_s("TIMIDITY_CFG", cfg);
}
