// The intro's animation as a step over a record, apart from its drawing, so
// its frames can be counted without a window.
#pragma once

#include "platform/sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

constexpr int INTRO_MAX_DOTS = 8;

enum IntroTitle { INTRO_TITLE_KEEP = 0, INTRO_TITLE_STRAIGHT = 1, INTRO_TITLE_TILTED = 2 };

// The intro's phases, in the order they run.
enum IntroPhase {
    INTRO_LINE = 0,        // the dot runs along the line
    INTRO_FIRST_ARCH = 1,  // the first arch
    INTRO_TWIN_ARCHES = 2, // a small and a large arch drawn together
    INTRO_LAST_ARCH = 3,   // the last, small arch
    INTRO_RUN_OUT = 4,     // the line on to the right edge
    INTRO_TITLE = 5,       // the studio's name, straight then tilted
    INTRO_PHASES
};

struct IntroState {
    IntroPhase phase;
    float x0;
    float a1, a2; // degrees, summed in single precision
    Uint32 t0;    // start of the title phase
    bool done;
    bool soundArmed;
    SDL_Rect dot;                  // last dot position
    long frame;                    // number of the frame being run, from 1
    long phaseStart[INTRO_PHASES]; // frame in which each phase first ran (0: not yet)
    // What this frame draws: dots on the screen, the title into the buffer, the sample.
    SDL_Rect dots[INTRO_MAX_DOTS];
    int dotCount;
    IntroTitle title;
    bool playSound;
    int soundsStarted; // over the whole intro
};

struct IntroGraphics {
    SDL_Surface* screen;
    SDL_Surface* tampon; // the drawing, shown every frame
    SDL_Surface* Pix;    // the white dot the lines are drawn with
    SDL_Surface* title;
    SDL_Surface* tilted;
    TTF_Font* font;
    FSOUND_SAMPLE* sample;
};

void intro_state_init(IntroState& s);
// Runs the phases of one frame at time now (ms); phases that end hand over
// within the frame.
void intro_step(IntroState& s, Uint32 now);

// Starts the libraries and makes the intro's surfaces (fatal on the failures
// that leave nothing to draw on).
void intro_screen_enter(IntroGraphics& g);
// One frame: events, step, drawing, flip, the frame's wait. True when the intro ends.
bool intro_screen_step(IntroState& s, IntroGraphics& g);
// Frees everything and shuts the libraries down.
void intro_screen_leave(IntroGraphics& g);
