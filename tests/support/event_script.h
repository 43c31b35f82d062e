// Feeds a screen its events in batches under the simulated clock: a batch is
// pushed each time the screen waits with an empty queue, so each batch lands
// in a pass (or an event wait) of its own.
#pragma once

#include <SDL/SDL.h>
#include <vector>

struct ScriptEvent {
    Uint8 type; // SDL_KEYDOWN, SDL_QUIT, SDL_JOYBUTTONDOWN, SDL_MOUSEBUTTONDOWN
    SDLKey sym;
    SDLMod mod;
    Uint8 which;
    Uint8 button;
};
using ScriptBatch = std::vector<ScriptEvent>;

ScriptEvent key_event(SDLKey sym, SDLMod mod = KMOD_NONE);
ScriptEvent quit_event();
ScriptEvent joy_event(Uint8 which, Uint8 button);

// Pushes the first batch at once, the others as the screen asks for more.
// Once the script is spent, a long idle time pushes a close request, so a
// screen that ignores its events still ends.
void start_event_script(const std::vector<ScriptBatch>& batches);
void stop_event_script();
// Batches not yet pushed.
size_t script_batches_left();
