#include "screens/new_record.h"

#include "screens/screens.h"
#include "tables/layout.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/sound.h"

#include <SDL/SDL_rotozoom.h>
#include <cstdio>

namespace {
const char* const APPLAUSE_FILE = "sounds/applause.wav";
constexpr int FONT_SIZE = 40;
constexpr Uint32 FRAME_MS = 20;
constexpr Uint32 HOLD_MS = 2000;
constexpr double FINAL_ZOOM = 3.7;
// Typing letters does nothing here, so the keys that do are named along the
// bottom edge, below the name (whose letters end above y 222). Latin-1, as
// TTF_RenderText reads it: \351 is é.
const char* const KEYS_HINT =
    "Haut/Bas : lettre   Gauche/Droite : curseur   Entr\351e : enregistrer";
constexpr int KEYS_HINT_SIZE = 15;
constexpr int KEYS_HINT_Y = 222;

} // namespace

int zoom_in_schedule(float zooms[], int angles[], int capacity) {
    float zoom = 0.1f;
    int angle = 0;
    int frames = 0;
    do {
        if (frames < capacity) {
            zooms[frames] = zoom;
            angles[frames] = angle;
        }
        ++frames;
        // Double-precision steps on a float zoom: the angles go 220, 229, ...
        angle = int(zoom * 100.0);
        zoom = float(zoom + 0.1);
    } while (zoom <= 3.7);
    return frames < capacity ? frames : capacity;
}

void rank_line_text(char* out, size_t size, int rank) {
    snprintf(out, size, "nouveau classement : %d", rank + 1);
}

void name_entry_begin(NameEntry& ne, HallEntry* entry, int rank, Uint32 now) {
    ne.entry = entry;
    ne.rank = rank;
    ne.cursor = 1;
    ne.letter = 'a';
    ne.blinkStart = now;
    ne.underscore = false;
    ne.done = false;
    if (!entry) {
        ne.done = true;
        return;
    }
    // A damaged name would be shown and stored as is: bring it back to letters.
    for (int i = 0; i < 3; ++i)
        if (entry->name[i] < 'a' || entry->name[i] > 'z') entry->name[i] = 'a';
    entry->name[3] = '\0';
}

void name_entry_event(NameEntry& ne, const SDL_Event& ev) {
    // Once stored, the rest of the queue is dropped: a second Return must not
    // insert the same record twice.
    if (ne.done || !ne.entry) return;
    char* name = ne.entry->name;
    // Keys of its own: a close ends the entry unsaved, and neither F1 nor
    // Left-Alt+F4 means anything here.
    if (ev.type == SDL_QUIT) {
        ne.done = true;
        return;
    }
    if (ev.type != SDL_KEYDOWN) return;
    switch (ev.key.keysym.sym) {
    case SDLK_UP:
        if (ne.letter < 'z') ne.letter += 1;
        name[ne.cursor - 1] = ne.letter;
        break;
    case SDLK_DOWN:
        if (ne.letter > 'a') ne.letter -= 1;
        name[ne.cursor - 1] = ne.letter;
        break;
    case SDLK_RIGHT:
        name[ne.cursor - 1] = ne.letter;
        if (ne.cursor < 3) {
            ne.cursor += 1;
            ne.letter = name[ne.cursor - 1];
        }
        break;
    case SDLK_LEFT:
        name[ne.cursor - 1] = ne.letter;
        if (ne.cursor > 1) {
            ne.cursor -= 1;
            ne.letter = name[ne.cursor - 1];
        }
        break;
    case SDLK_RETURN:
        name[ne.cursor - 1] = ne.letter;
        // Placed by its time in the file as it is now: another game may have
        // entered a record since the rank shown was found.
        if (ne.rank >= 0 && ne.rank < HALL_LINES) hall_place(ne.entry);
        ne.done = true;
        break;
    default:
        break;
    }
}

void name_entry_blink(NameEntry& ne, Uint32 t) {
    // After Return the stored name stays as it was written.
    if (ne.done || !ne.entry) return;
    char* at = &ne.entry->name[ne.cursor - 1];
    if (t < ne.blinkStart + 500 && !ne.underscore) {
        ne.letter = *at;
        *at = '_';
        ne.underscore = true;
    } else if (t >= ne.blinkStart + 500) {
        *at = ne.letter;
        ne.underscore = false;
    }
    if (t >= ne.blinkStart + 1000) ne.blinkStart = game_ticks();
}

void zoom_in_frame(RecordScreen& r, float zoom, int angle) {
    fill_black(r.screen);
    SDL_Surface* copy = r.portrait
                            ? surface_made(rotozoomSurface(r.portrait, angle, zoom, SMOOTHING_OFF))
                            : nullptr;
    // A copy that cannot be made leaves this frame black.
    if (copy) {
        r.at.x = Sint16(r.screen->w / 2 - copy->w / 2);
        r.at.y = Sint16(r.screen->h / 2 - copy->h / 2);
        draw_picture(r.screen, copy, r.at.x, r.at.y);
    }
    game_flip(r.screen);
    game_delay(FRAME_MS);
    surface_free(copy);
}

bool new_record_screen_step(RecordScreen& r) {
    SDL_Event ev;
    while (game_poll_event(&ev))
        name_entry_event(r.ne, ev);
    HallEntry* entry = r.ne.entry;
    SDL_Surface* nom = render_text(r.font, entry->name, white_colour());
    if (!nom) fatal("Erreur de création de surf_nom");
    SDL_Surface* rankText = render_text(r.font, r.rankLine, white_colour());
    if (!rankText) fatal("Erreur de création de surf_rank");
    name_entry_blink(r.ne, game_ticks());
    fill_black(r.screen);
    draw_picture(r.screen, r.final, r.at.x, r.at.y);
    draw_picture(r.screen, rankText, 100, 5);
    draw_picture(r.screen, nom, 275, 175);
    if (r.keysHint)
        draw_picture(r.screen, r.keysHint, (r.screen->w - r.keysHint->w) / 2, KEYS_HINT_Y);
    game_flip(r.screen);
    game_delay(FRAME_MS);
    surface_free(rankText);
    surface_free(nom);
    return r.ne.done;
}

void name_entry_keys_hint(RecordScreen& r) {
    TTF_Font* small = font_open(SCREEN_FONT_FILE, KEYS_HINT_SIZE);
    r.keysHint = render_text(small, KEYS_HINT, white_colour());
    font_close(small);
}

void new_record_screen_enter(RecordScreen& r, SDL_Surface* screen,
                             SDL_Surface* portraits[CHARACTER_COUNT], HallEntry* entry, int rank) {
    r = RecordScreen{};
    r.screen = screen;
    r.font = open_screen_font(SCREEN_FONT_FILE, FONT_SIZE, TTF_STYLE_NORMAL);
    r.applause = FSOUND_Sample_Load(FSOUND_FREE, APPLAUSE_FILE, 0, 0, 0);
    if (!r.applause) fatal_line("Erreur lors du chargement de applause.wav");
    FSOUND_PlaySound(FSOUND_FREE, r.applause);

    int character = entry->character;
    r.portrait = (portraits && character_in_range(character)) ? portraits[character] : nullptr;
    // Spins the portrait in while it grows.
    float zooms[ZOOM_FRAMES_MAX];
    int angles[ZOOM_FRAMES_MAX];
    int frames = zoom_in_schedule(zooms, angles, ZOOM_FRAMES_MAX);
    // Cut short by a termination signal, so the program ends without delay.
    for (int i = 0; i < frames && !termination_requested(); ++i)
        zoom_in_frame(r, zooms[i], angles[i]);
    // The final picture stays where the last frame was, not recentred.
    r.final = r.portrait ? surface_made(rotozoomSurface(r.portrait, 0.0, FINAL_ZOOM, SMOOTHING_OFF))
                         : nullptr;
    draw_picture(screen, r.final, r.at.x, r.at.y);
    game_flip(screen);
    if (!termination_requested()) game_delay(HOLD_MS);

    rank_line_text(r.rankLine, sizeof r.rankLine, rank);
    name_entry_keys_hint(r);
    name_entry_begin(r.ne, entry, rank, game_ticks());
    // Stays on for the screens that follow.
    SDL_EnableKeyRepeat(1000, 200);
}

void new_record_screen_leave(RecordScreen& r) {
    surface_free(r.final);
    surface_free(r.keysHint);
    FSOUND_Sample_Free(r.applause);
    font_close(r.font);
    r = RecordScreen{};
}

void new_record_screen(SDL_Surface* screen, SDL_Surface* portraits[CHARACTER_COUNT],
                       HallEntry* entry, int rank) {
    if (!screen || !entry) return;
    RecordScreen r;
    new_record_screen_enter(r, screen, portraits, entry, rank);
    while (!new_record_screen_step(r)) {
    }
    new_record_screen_leave(r);
}
