// MIDI instruments on Debian and other POSIX systems.
#include "platform/midi_instruments.h"

#include <SDL/SDL_mixer.h>

#include <cstdlib>
#include <unistd.h>

// Freepats is the instrument set Debian ships for the mixer's built-in
// timidity, but the mixer reads /etc/timidity/timidity.cfg first when it
// exists, and TiMidity++'s own file there points at SoundFonts the built-in
// synthesizer cannot read (songs then load and play in silence). Pointing the
// mixer at the freepats file fixes that; a TIMIDITY_CFG of the player's own
// is left alone.
//
// Where a General MIDI SoundFont is installed (Debian's default-GM.sf3), the
// mixer prefers FluidSynth and loads that whole bank, about 150 MB read into
// memory and a quarter of a second, for one short jingle. Naming a SoundFont
// that does not exist turns FluidSynth down and leaves the song to the
// built-in timidity; SoundFonts a player names in SDL_SOUNDFONTS are kept.
void choose_midi_instruments() {
    const char* freepats = "/etc/timidity/freepats.cfg";
    if (getenv("TIMIDITY_CFG") == nullptr && access(freepats, R_OK) == 0)
        setenv("TIMIDITY_CFG", freepats, 0);
    if (getenv("SDL_SOUNDFONTS") == nullptr) Mix_SetSoundFonts("/nonexistent/no-soundfont.sf2");
}
