#include "input/controls_screen.h"

#include "archive/archive.h"
#include "archive/game_pictures.h"
#include "input/screen_keys.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "tables/layout.h"

#include <cstdio>
#include <cstring>

namespace {
// Draws one text and gives back where it went, so the bar can be covered again.
void draw_text(ControlsScreen& s, const char* text, int x, int y) {
    if (!text[0]) return; // TTF makes no surface for an empty text
    SDL_Surface* t = render_text(s.font, text, white_colour());
    draw_picture(s.screen, t, x, y);
    surface_free(t);
}
} // namespace

void controls_screen_init(ControlsScreen& s, PlayerControl controls[PLAYERS], bool& fullscreen) {
    memset(&s, 0, sizeof s);
    s.controls = controls;
    s.fullscreen = &fullscreen;
    s.row = 0;
    s.bar.x = 0;
    s.bar.y = CONTROLS_ROW_TOP;
    s.pendingButton = 1;
    s.result = SCREEN_BACK;
    s.leave = false;
}

void controls_next_kind(PlayerControl& row, int joysticks) {
    // The game opens only the joysticks its input snapshot covers: a fifth
    // one attached could be chosen but would never move its runner.
    if (joysticks > SNAP_JOYSTICKS) joysticks = SNAP_JOYSTICKS;
    // An unknown kind starts the cycle again rather than counting on from it.
    if (row.kind < INPUT_KEYBOARD || row.kind > INPUT_JOYSTICK) {
        row.kind = INPUT_KEYBOARD;
        return;
    }
    row.kind += 1;
    if (row.kind == INPUT_JOYSTICK && joysticks <= 0) {
        row.kind = INPUT_KEYBOARD;
    } else if (row.kind == INPUT_JOYSTICK) {
        row.joystick = 0;
    } else if (row.kind == INPUT_KINDS && row.joystick + 1 < joysticks) {
        row.joystick += 1;
        row.kind = INPUT_JOYSTICK;
    } else if (row.kind > INPUT_JOYSTICK) {
        row.kind = INPUT_KEYBOARD;
    }
}

void controls_row_texts(const PlayerControl& row,
                        char texts[CONTROLS_COLUMNS][CONTROLS_TEXT_SIZE]) {
    for (int i = 0; i < CONTROLS_COLUMNS; ++i)
        texts[i][0] = '\0';
    switch (row.kind) {
    case INPUT_KEYBOARD:
        snprintf(texts[0], CONTROLS_TEXT_SIZE, "touche clavier");
        // The symbol's low byte shown as a character: letters and digits read as themselves.
        snprintf(texts[1], CONTROLS_TEXT_SIZE, "touche : %c", char(row.key & 0xFF));
        break;
    case INPUT_MOUSE:
        snprintf(texts[0], CONTROLS_TEXT_SIZE, "souris");
        snprintf(texts[1], CONTROLS_TEXT_SIZE, "clic gauche");
        break;
    case INPUT_JOYSTICK: {
        const char* name = nullptr;
        if (row.joystick >= 0 && row.joystick < joystick_count())
            name = SDL_JoystickName(row.joystick);
        snprintf(texts[0], CONTROLS_TEXT_SIZE, "%s", name ? name : "?");
        snprintf(texts[1], CONTROLS_TEXT_SIZE, "bouton %d ", row.button1);
        snprintf(texts[2], CONTROLS_TEXT_SIZE, "et %d ", row.button2);
        break;
    }
    default:
        snprintf(texts[0], CONTROLS_TEXT_SIZE, "?");
        break;
    }
}

void controls_screen_handle(ControlsScreen& s, const SDL_Event& ev) {
    PlayerControl& row = s.controls[s.row];
    switch (screen_key(ev)) {
    case SCREEN_KEY_QUIT:
        // Quitting is always allowed, conflict or not.
        s.result = SCREEN_QUIT;
        s.leave = true;
        return;
    case SCREEN_KEY_BACK:
        if (!controls_conflict(s.controls)) s.leave = true;
        return;
    case SCREEN_KEY_DISPLAY:
        s.switchDisplay = true;
        return;
    case SCREEN_KEY_NONE:
        break;
    }
    if (ev.type == SDL_JOYBUTTONDOWN) {
        // Buttons come from the joystick numbered as the row; the race reads
        // only buttons 0-9, so higher ones are not taken.
        if (row.kind != INPUT_JOYSTICK || ev.jbutton.which != s.row) return;
        if (ev.jbutton.button >= SNAP_JOY_BUTTONS) return;
        if (s.pendingButton == 1) {
            row.button1 = ev.jbutton.button;
            s.pendingButton = 2;
        } else {
            row.button2 = ev.jbutton.button;
            s.pendingButton = 1;
        }
        return;
    }
    if (ev.type != SDL_KEYDOWN) return;
    SDLKey sym = ev.key.keysym.sym;
    switch (sym) {
    case SDLK_DOWN:
        if (s.row < PLAYERS - 1) {
            s.row += 1;
            s.bar.y += CONTROLS_ROW_STEP;
            s.pendingButton = 1;
        }
        break;
    case SDLK_UP:
        if (s.row > 0) {
            s.row -= 1;
            s.bar.y -= CONTROLS_ROW_STEP;
            s.pendingButton = 1;
        }
        break;
    case SDLK_LEFT:
        if (row.character - 1 >= 0) row.character -= 1;
        break;
    case SDLK_RIGHT:
        if (row.character + 1 < CHARACTER_COUNT) row.character += 1;
        break;
    case SDLK_SPACE:
        controls_next_kind(row, joystick_count());
        break;
    case SDLK_F4: // with other modifiers than Left-Alt alone: nobody's key
        break;
    default:
        if (row.kind == INPUT_KEYBOARD && sym >= 0 && sym < SNAP_KEYS) row.key = sym;
        break;
    }
}

void controls_screen_enter(ControlsScreen& s, SDL_Surface* screen, PlayerControl controls[PLAYERS],
                           bool& fullscreen) {
    controls_screen_init(s, controls, fullscreen);
    s.screen = screen;
    s.indexTab = open_index_tab();
    s.red = SDL_MapRGB(screen->format, 255, 0, 0);
    s.green = SDL_MapRGB(screen->format, 0, 255, 0);
    s.surfSelect = surface_made(
        SDL_CreateRGBSurface(SDL_HWSURFACE, screen->w, CONTROLS_ROW_HEIGHT, 32, 0, 0, 0, 0));
    if (!s.surfSelect) fatal("MENU / Erreur de création de surfSelect : %s\n", SDL_GetError());
    SDL_SetAlpha(s.surfSelect, SDL_SRCALPHA, 25);
    s.background =
        load_picture(s.indexTab, PIC_OPTION, "MENU / Erreur de chargement de option.bmp : %s\n");
    s.select =
        load_picture(s.indexTab, PIC_ARROW, "MENU / Erreur de chargement de select.bmp : %s\n");
    load_device_pictures(s.indexTab, s.kindPictures);
    load_portraits(s.indexTab, "MENU / ", s.characterPictures);
    fill_black(screen);
    s.font = open_screen_font(SCREEN_FONT_FILE, 15, TTF_STYLE_BOLD);
    // Shown at once: the wait for the first event would leave the menu on
    // the window, and F2 would look dead.
    controls_screen_draw(s);
    game_flip(s.screen);
}

void controls_screen_draw(ControlsScreen& s) {
    draw_picture(s.screen, s.background, 0, 0);
    for (int r = 0; r < PLAYERS; ++r) {
        const PlayerControl& row = s.controls[r];
        int y = CONTROLS_ROW_TOP + CONTROLS_ROW_STEP * r;
        if (character_in_range(row.character))
            draw_picture(s.screen, s.characterPictures[row.character], CONTROLS_PORTRAIT_X, y);
        if (row.kind >= INPUT_KEYBOARD && row.kind <= INPUT_JOYSTICK)
            draw_picture(s.screen, s.kindPictures[row.kind], CONTROLS_DEVICE_X, y);
        controls_row_texts(row, s.texts[r]);
        int last = -1;
        for (int i = 0; i < CONTROLS_COLUMNS; ++i) {
            if (!s.texts[r][i][0]) continue;
            draw_text(s, s.texts[r][i], CONTROLS_TEXT_X[i], y);
            if (i > 0) last = i;
        }
        // The bar goes over every row as it is drawn; its colour judges all four.
        s.conflict = controls_conflict(s.controls);
        SDL_FillRect(s.surfSelect, nullptr, s.conflict ? s.red : s.green);
        draw_picture(s.screen, s.surfSelect, 0, s.bar.y);
        if (last > 0) draw_text(s, s.texts[r][last], CONTROLS_TEXT_X[last], y);
    }
}

bool controls_screen_step(ControlsScreen& s) {
    SDL_Event ev;
    if (!game_wait_event(&ev)) {
        // No event can come any more: leave as a quit rather than wait forever.
        s.result = SCREEN_QUIT;
        s.leave = true;
        return true;
    }
    controls_screen_handle(s, ev);
    if (s.switchDisplay) {
        s.switchDisplay = false;
        s.screen = switch_display(*s.fullscreen);
    }
    controls_screen_draw(s);
    game_flip(s.screen);
    return s.leave;
}

ScreenResult controls_screen_leave(ControlsScreen& s) {
    surface_free(s.background);
    surface_free(s.select);
    for (SDL_Surface*& p : s.kindPictures)
        surface_free(p);
    for (SDL_Surface*& p : s.characterPictures)
        surface_free(p);
    surface_free(s.surfSelect);
    font_close(s.font);
    free_index_tab(s.indexTab);
    s.background = s.select = s.surfSelect = nullptr;
    for (SDL_Surface*& p : s.kindPictures)
        p = nullptr;
    for (SDL_Surface*& p : s.characterPictures)
        p = nullptr;
    s.font = nullptr;
    s.indexTab = nullptr;
    return s.result;
}

ScreenResult controls_screen(SDL_Surface* screen, PlayerControl controls[PLAYERS],
                             bool& fullscreen) {
    ControlsScreen s;
    controls_screen_enter(s, screen, controls, fullscreen);
    while (!controls_screen_step(s)) {
    }
    return controls_screen_leave(s);
}
