// What the shell loads once and keeps for the whole run, plus the little race
// state it keeps across races.
#pragma once

#include "race/characters.h"
#include "shell/sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstdint>

// A character's end sound: a sample, or a song for the one that is music.
struct EndSound {
    FSOUND_SAMPLE* sample;
    FMUSIC_MODULE* song;
};

struct Assets {
    FSOUND_SAMPLE* ding;
    FSOUND_SAMPLE* start;
    EndSound endSounds[CHARACTER_COUNT];
    FSOUND_SAMPLE* fatality;
    TTF_Font* font; // "font/comic.ttf" 20 bold
    SDL_Surface* terrain;
    SDL_Surface* spriteSet[CHARACTER_COUNT];
    SDL_Surface* portraits[CHARACTER_COUNT];
    SDL_Surface* chrono;
    SDL_Surface* explosion;
    SDL_Surface* Timer;
    SDL_Surface* surf_chronoTxt;
    SDL_Surface* board;    // the last race's board, null before the first race
    SDL_Surface* dispTime; // the last finish-time text
    char timerText[4];
    Uint32 colorKey;
    SDL_Rect screenRect;   // destination of the terrain, w rewritten by each draw
    SDL_Rect timerPos;     // (20, 10), w rewritten by each draw
    SDL_Rect chronoPos;    // centred at y 30
    SDL_Rect chronoTxtPos; // (300, 30)
    SDL_Joystick* joysticks[4];
    uint32_t* indexTab;
    // Kept across races by the shell.
    Uint32 lastStepTick;
    int frameIndex[CHARACTER_COUNT];
};
