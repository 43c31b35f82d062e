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

// What a race left with Escape once complete offers the hall of fame: its
// results in finishing order, each with the name "aaa" until one is typed.
struct HallPlacements {
    int count; // 0 when nothing is offered
    HallEntry results[CHARACTER_COUNT];
};

// How a race ended, and the placements the layer above is to run.
struct RaceEnd {
    RaceOutcome outcome;
    HallPlacements placements;
};

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

// Runs one race; see RaceEnd.
RaceEnd run_race(const RaceSetup& setup);
void deactivate_character(PlayerControl controls[PLAYERS], int character);

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
    bool complete; // left with Escape once every runner still in had finished
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
// After RACE_LEFT: the results a complete race offers the hall of fame (none
// when it was left before).
HallPlacements race_placements(const Race& race);
