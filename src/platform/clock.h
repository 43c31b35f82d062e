// The game's clock and waits: the plain SDL calls in the game; tests and the
// session runner swap in a simulated clock, so that no test waits real time.
#pragma once

#include <SDL/SDL.h>

// Milliseconds since start: SDL_GetTicks unless a simulated clock is set.
Uint32 game_ticks();
// SDL_Delay, or advances the simulated clock by ms.
void game_delay(Uint32 ms);
// Waits for an event as SDL_WaitEvent does (a poll every 10 ms); after a
// termination signal it gives SDL_QUIT at once. With a simulated
// clock, polls and advances the clock by 1 ms per empty poll (calling the
// idle hook so a script can feed events).
int game_wait_event(SDL_Event* ev);
// Test and session-runner controls.
void set_simulated_clock(bool on, Uint32 start_ms = 0);
bool simulated_clock_on();
void advance_simulated_clock(Uint32 ms);
void set_simulated_clock_value(Uint32 ms);
