// One race: countdown, presses, scrolling, eliminations, finishes, placements.
#pragma once

#include "input/controls.h"
#include "tables/characters.h"
#include "race/effects.h"
#include "records/records.h"
#include "race/assets.h"

#include <SDL/SDL.h>
#include <cstdint>

enum RaceOutcome { RACE_BACK_TO_MENU = 0, RACE_QUIT = 1 };

// What the shell hands a race: all of it lent for the race's length.
struct RaceSetup {
    SDL_Surface* screen;
    Assets* assets;
    RaceCarry* carry;
    PlayerControl* controls; // PLAYERS rows, the first `players` active
    InputSnapshot* in;
    EffectList* pointDepart;
    int players;
    bool fatality;
    bool* fullscreen;
};

// Runs one race; see RaceOutcome.
RaceOutcome run_race(const RaceSetup& setup);
void deactivate_character(PlayerControl controls[PLAYERS], int character);
// Rank 0-9 at which the time enters the hall of fame, or -1 for none.
int hall_position(float time_ms);

// One runner per character.
struct Runner {
    SDL_Rect frameRect; // current frame in the character's sprite set
    SDL_Rect posRect;   // on the window; the blit writes its clipping back here
    int frameIndex;
    bool finished;
};

struct RaceState {
    int16_t scrollX;
    int countdown;
    bool started;
    int finishCount;
    int playersLeft;
    Uint32 startTick;
    HallEntry results[CHARACTER_COUNT];
    int markX;
    bool quitRequested;
};

// Everything one race works on: its own state plus what the shell lends it.
struct Race {
    RaceState state;
    Runner runners[CHARACTER_COUNT];
    SDL_Surface* screen;
    Assets* assets;
    RaceCarry* carry;
    PlayerControl* controls;
    InputSnapshot* in;
    EffectList* pointDepart;
    bool fatality;
    bool* fullscreen;
    SDL_Surface* continueHint; // made when the race is complete, freed when it is left
};

enum RaceStep { RACE_GO_ON = 0, RACE_LEFT = 1, RACE_ENDED_BY_QUIT = 2 };

// Loads the board and a fresh terrain, paints the best times, draws the board
// and resets the state: everything before the first frame.
void race_start(Race& race, const RaceSetup& setup);
// One frame. RACE_LEFT: Escape (pointDepart has been released).
RaceStep race_frame(Race& race);
// Escape after a complete race: offers each result to the hall of fame.
void race_hall_placements(Race& race);
