// What the shell loads once, and what the race carries between races.
#pragma once

#include "input/input.h"
#include "tables/characters.h"
#include "platform/sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

// A character's end sound: a sample, or a song for the one that is music.
struct EndSound {
    FSOUND_SAMPLE* sample;
    FMUSIC_MODULE* song;
};

// What the shell loads once and keeps for the whole run.
struct Assets {
    FSOUND_SAMPLE* ding;
    FSOUND_SAMPLE* start;
    EndSound endSounds[CHARACTER_COUNT];
    FSOUND_SAMPLE* fatality;
    TTF_Font* font;       // the race's every text
    SDL_Surface* terrain; // reloaded by each race, which paints on it
    SDL_Surface* spriteSet[CHARACTER_COUNT];
    SDL_Surface* portraits[CHARACTER_COUNT];
    SDL_Surface* chrono;
    SDL_Surface* explosion;
    Uint32 colorKey;
    SDL_Rect chronoPos;                      // centred over the window
    SDL_Rect chronoTxtPos;                   // the running time, over the chronometer
    SDL_Joystick* joysticks[SNAP_JOYSTICKS]; // those the input snapshot covers
    uint32_t* indexTab;
};

// What the race carries from one race to the next. The shell owns it, makes
// the first Timer and frees every surface at shutdown; the race replaces them.
struct RaceCarry {
    SDL_Surface* Timer; // the countdown's text
    char timerText[4];
    SDL_Surface* surf_chronoTxt;
    SDL_Surface* board;              // the last race's board, null before the first race
    SDL_Surface* dispTime;           // the last finish-time text
    SDL_Rect screenRect;             // destination of the terrain, w rewritten by each draw
    SDL_Rect timerPos;               // w rewritten by each draw
    Uint32 lastStepTick;             // never reset: a new race's first count step may come at once
    int frameIndex[CHARACTER_COUNT]; // runners start a race on the frame they ended the last
};
