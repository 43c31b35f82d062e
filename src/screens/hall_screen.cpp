#include "screens/hall_screen.h"

#include "archive/archive.h"
#include "archive/game_pictures.h"
#include "input/screen_keys.h"
#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "tables/layout.h"

#include <cstdio>
#include <cstring>

namespace {
void draw_hall_text(HallScreen& h, const char* text, int x, int y) {
    if (!text[0]) return; // an empty name has nothing to show
    h.surf_texte = render_text(h.font, text, white_colour());
    if (!h.surf_texte) fatal("HALL /Erreur de création de surf_texte");
    draw_picture(h.screen, h.surf_texte, x, y);
    surface_free(h.surf_texte);
    h.surf_texte = nullptr;
}
} // namespace

void hall_row_place(int rank, int* x0, int* y) {
    *x0 = rank < HALL_ROWS_PER_COLUMN ? 0 : HALL_COLUMN_X;
    *y = HALL_ROW_STEP * (rank % HALL_ROWS_PER_COLUMN);
}

HallAction hall_apply_input(HallScreen& h) {
    InputSnapshot& in = h.in;
    if (take_key(in, SDLK_ESCAPE)) h.finish = true;
    // A quit stands through an F1 redraw: the screen is left at the next pass.
    if (take_quit_request(in)) {
        h.result = SCREEN_QUIT;
        h.finish = true;
    }
    if (take_key(in, SDLK_F1)) return HALL_REDRAW;
    return h.finish ? HALL_LEAVE : HALL_STAY;
}

void hall_screen_enter(HallScreen& h, SDL_Surface* screen, bool& fullscreen) {
    memset(&h, 0, sizeof h);
    h.screen = screen;
    h.fullscreen = &fullscreen;
    h.result = SCREEN_BACK;
    // Shown if the first line cannot be read at all: no portrait, a blank time.
    snprintf(h.entry.name, sizeof h.entry.name, "---");
    h.entry.time_ms = 0.0f;
    h.entry.character = -1;
    h.indexTab = open_index_tab();
    clear_input(h.in);
    h.background =
        load_picture(h.indexTab, PIC_HALL, "HALL / Erreur de chargement de hall.bmp : %s\n");
    load_portraits(h.indexTab, "HALL / ", h.portraits);
    h.font = open_screen_font(SCREEN_FONT_FILE, 20, TTF_STYLE_BOLD);
    hall_screen_draw(h);
}

void hall_screen_draw(HallScreen& h) {
    draw_picture(h.screen, h.background, 0, 0);
    // A quit already asked for stands; a pending Escape is put off by the redraw.
    if (h.result != SCREEN_QUIT) h.finish = false;
    for (int r = 0; r < HALL_LINES; ++r) {
        // One entry serves every row: a field that cannot be read keeps the row above's.
        rw_hall(&h.entry, r, 0);
        int x0, y;
        hall_row_place(r, &x0, &y);
        h.shownCharacters[r] = -1;
        if (character_in_range(h.entry.character)) {
            h.shownCharacters[r] = h.entry.character;
            draw_picture(h.screen, h.portraits[h.entry.character], x0 + HALL_PORTRAIT_X, y);
        }
        char name[sizeof h.entry.name + 1];
        memcpy(name, h.entry.name, sizeof h.entry.name);
        name[sizeof h.entry.name] = '\0'; // a damaged name may lack its end
        draw_hall_text(h, name, x0 + HALL_NAME_X, y);
        char time[32];
        format_seconds(h.entry.time_ms, time, sizeof time);
        draw_hall_text(h, time, x0 + HALL_TIME_X, y);
        game_flip(h.screen);
    }
    game_flip(h.screen);
}

bool hall_screen_step(HallScreen& h) {
    poll_input(h.in);
    switch (hall_apply_input(h)) {
    case HALL_LEAVE:
        return true;
    case HALL_REDRAW:
        h.screen = switch_display(*h.fullscreen);
        hall_screen_draw(h);
        break;
    case HALL_STAY:
        break;
    }
    // Nothing moves on this screen: a short sleep per pass keeps it off the processor.
    game_delay(10);
    return false;
}

ScreenResult hall_screen_leave(HallScreen& h) {
    for (SDL_Surface*& p : h.portraits)
        surface_free(p);
    surface_free(h.background);
    surface_free(h.surf_texte);
    font_close(h.font);
    free_index_tab(h.indexTab);
    for (SDL_Surface*& p : h.portraits)
        p = nullptr;
    h.background = h.surf_texte = nullptr;
    h.font = nullptr;
    h.indexTab = nullptr;
    return h.result;
}

ScreenResult hall_screen(SDL_Surface* screen, bool& fullscreen) {
    HallScreen h;
    hall_screen_enter(h, screen, fullscreen);
    while (!hall_screen_step(h)) {
    }
    return hall_screen_leave(h);
}
