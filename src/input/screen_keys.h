// The keys every screen treats alike, and what a screen gives back. A window
// close request or Left-Alt with F4 quits, Escape goes back, F1 switches the
// display. The screens that read a snapshot (the main menu, the hall of fame,
// the race) and the one that reads events (the controls screen) take them
// here; the intro and the name entry have rules of their own.
#pragma once

#include "input/input.h"

#include <SDL/SDL.h>

// How a screen the main menu opens was left.
enum ScreenResult {
    SCREEN_QUIT = 0, // a quit request: the program is to end
    SCREEN_BACK = 1, // back to the screen that opened it
};

// Left-Alt and F4 both latched (not necessarily together).
bool alt_f4_held(const InputSnapshot& in);
// A quit request in the snapshot: the window's close request, or Left-Alt with
// F4, whose two flags are cleared. The quit flag stays set: a quit stands.
bool take_quit_request(InputSnapshot& in);
// Whether the key's flag is set; it is cleared if so.
bool take_key(InputSnapshot& in, SDLKey key);

// What one event means to a screen that reads events.
enum ScreenKey {
    SCREEN_KEY_NONE,    // nothing every screen shares: the screen's own
    SCREEN_KEY_QUIT,    // the window's close request, or F4 with exactly Left-Alt held
    SCREEN_KEY_BACK,    // Escape
    SCREEN_KEY_DISPLAY, // F1
};
ScreenKey screen_key(const SDL_Event& ev);
