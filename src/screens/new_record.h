// New record entry: the name being typed, as a record the screen steps.
#pragma once

#include "tables/characters.h"
#include "records/records.h"
#include "platform/sound.h"

#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <cstddef>

struct NameEntry {
    HallEntry* entry; // the caller's result; its name is edited in place
    int rank;         // 0-9
    int cursor;       // 1-3: the letter edited is name[cursor - 1]
    char letter;      // the letter at the cursor, kept apart while '_' blinks there
    Uint32 blinkStart;
    bool underscore; // the cursor byte currently shows '_'
    bool done;
};

constexpr int ZOOM_FRAMES_MAX = 64;

void name_entry_begin(NameEntry& ne, HallEntry* entry, int rank, Uint32 now);
// One event of the entry loop: arrows edit, Return stores, a close ends.
void name_entry_event(NameEntry& ne, const SDL_Event& ev);
// The cursor blink at time t: '_' for the first half of each second.
void name_entry_blink(NameEntry& ne, Uint32 t);
// The zoom-in: zoom and angle of each frame; returns the number of frames.
int zoom_in_schedule(float zooms[], int angles[], int capacity);
void rank_line_text(char* out, size_t size, int rank);

// What the screen draws with, so its frames can be run one by one.
struct RecordScreen {
    SDL_Surface* screen;
    SDL_Surface* portrait; // the runner's portrait, null when there is none
    TTF_Font* font;
    SDL_Surface* final;    // the portrait at full zoom, kept for the name entry
    SDL_Rect at;           // top-left of the last zoom frame drawn
    SDL_Surface* keysHint; // one line naming the keys; null if it could not be made
    FSOUND_SAMPLE* applause;
    char rankLine[40];
    NameEntry ne;
};

// One zoom-in frame: black, the portrait turned and zoomed at the centre, flip, the frame's wait.
void zoom_in_frame(RecordScreen& r, float zoom, int angle);
// Loads the font and the applause, plays the zoom-in and holds the portrait:
// everything before the name is typed.
void new_record_screen_enter(RecordScreen& r, SDL_Surface* screen,
                             SDL_Surface* portraits[CHARACTER_COUNT], HallEntry* entry, int rank);
// One name-entry frame: events, both texts, the blink, drawing, flip, the frame's wait.
// True once the entry is over.
bool new_record_screen_step(RecordScreen& r);
void new_record_screen_leave(RecordScreen& r);
// Renders the line naming the entry's keys into keysHint (left null on failure).
void name_entry_keys_hint(RecordScreen& r);
