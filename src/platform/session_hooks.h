// Where a scripted session joins the game: when a wait would block, at every
// cycle and at every finish. The game itself sets none.
#pragma once

#include <SDL/SDL.h>

// Called whenever a wait would block or sleep under the simulated clock: lets
// a scripted session push the events due at the new time.
void set_idle_hook(void (*hook)(void* user), void* user);
void run_idle_hook();

// Called by the shell at the start of every menu-and-race cycle.
void set_cycle_hook(void (*hook)(void* user), void* user);
void run_cycle_hook();
// Called by the race at each finish with the runner's character and time in
// ms, so a scripted session can check the best times it leaves behind.
void set_finish_hook(void (*hook)(void* user, int character, float time_ms), void* user);
void run_finish_hook(int character, float time_ms);
