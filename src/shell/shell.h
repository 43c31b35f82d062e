// The application shell: start-up, the menu-and-race cycle, shutdown.
#pragma once

#include "input/controls.h"
#include "input/input.h"
#include "race/effects.h"
#include "race/race.h"
#include "race/assets.h"

#include <SDL/SDL.h>

// Everything that lives for the whole run.
struct ShellState {
    bool fatality;   // eliminations on; the main menu may flip it
    bool fullscreen; // the display mode in force; every F1 flips it
    PlayerControl controls[PLAYERS];
    InputSnapshot input;
    Assets assets;
    RaceCarry carry;         // what one race leaves to the next
    EffectList* pointDepart; // the race's effects, made anew each cycle
    SDL_Surface* screen;     // the game's window
    int joysticks;           // joysticks attached at start-up
};

// The whole program; returns the exit status of a normal shutdown (0).
int game_main();

// The pieces of game_main, in the order it runs them after the intro, so a
// scripted session can drive them one by one.
// Sets the run's starting values (no library calls).
void shell_init_state(ShellState& s);
// Everything between the intro and the first menu; any failure is fatal.
void shell_start_up(ShellState& s);
// The race as the shell lends it, for the given number of players.
RaceSetup race_setup(ShellState& s, int players);
// One cycle: main menu, then a race and the hall-of-fame placements it hands
// back. False when the program is to shut down.
bool shell_cycle(ShellState& s);
// Offers each result to the hall of fame in turn: a name entry for each that
// makes the ten best.
void shell_hall_placements(ShellState& s, const HallPlacements& placements);
// Releases everything and closes the libraries.
void shell_shutdown(ShellState& s);
