#include "screens/main_menu.h"

#include "archive/archive.h"
#include "archive/game_pictures.h"
#include "input/controls_screen.h"
#include "input/screen_keys.h"
#include "records/records.h"
#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "tables/layout.h"

#include <cstdio>
#include <cstring>

namespace {
bool fatalityFallback = true; // used only if a caller passes no option flag

// Renders a menu text into dispTime, releasing the previous one.
void render_disp_time(MainMenu& m, const char* text) {
    surface_free(m.dispTime);
    m.dispTime = render_text(m.font, text, white_colour());
    if (!m.dispTime) fatal("Erreur de création de dispTime");
}

void draw_option_text(MainMenu& m) {
    snprintf(m.optionText, sizeof m.optionText, "%s", fatality_text(*m.fatality));
    render_disp_time(m, m.optionText);
    SDL_Rect at = {MENU_OPTION_X, MENU_OPTION_Y, Uint16(m.dispTime->w), Uint16(m.dispTime->h)};
    SDL_BlitSurface(m.dispTime, nullptr, m.screen, &at);
    m.optionRect = at; // the blit's clipped rectangle: what is erased next time
}

void draw_arrow(MainMenu& m) {
    draw_picture(m.screen, m.arrow, m.arrowRect.x, m.arrowRect.y);
}

void request_quit(MainMenu& m) {
    m.selection = MENU_QUIT;
    m.finish = true;
}
} // namespace

const char* fatality_text(bool fatality) {
    return fatality ? "ON " : "OFF";
}

void menu_device_kinds(PlayerControl controls[PLAYERS], int joysticks, int shown[PLAYERS]) {
    int mouseUsers = 0;
    int joystickUsers = 0;
    for (int n = 0; n < PLAYERS; ++n) {
        PlayerControl& row = controls[n];
        shown[n] = -1;
        if (row.kind == INPUT_MOUSE && ++mouseUsers > 1) row.kind = INPUT_KEYBOARD;
        if (row.kind == INPUT_JOYSTICK && ++joystickUsers > joysticks) row.kind = INPUT_KEYBOARD;
        if (row.kind >= INPUT_KEYBOARD && row.kind <= INPUT_JOYSTICK) shown[n] = row.kind;
    }
}

void menu_arrow_up(MainMenu& m) {
    if (m.arrowRect.y >= MENU_ARROW_TOP + MENU_ROW_STEP) {
        m.selection -= 1;
        m.arrowRect.y -= MENU_ROW_STEP;
    }
}

void menu_arrow_down(MainMenu& m) {
    if (m.arrowRect.y <= MENU_ARROW_TOP + (PLAYERS - 2) * MENU_ROW_STEP) {
        m.selection += 1;
        m.arrowRect.y += MENU_ROW_STEP;
    }
}

void main_menu_enter(MainMenu& m, SDL_Surface* screen, PlayerControl controls[PLAYERS],
                     bool& fullscreen, bool* fatality) {
    memset(&m, 0, sizeof m);
    m.screen = screen;
    m.controls = controls;
    m.fullscreen = &fullscreen;
    m.fatality = fatality ? fatality : &fatalityFallback;
    m.joysticks = joystick_count();
    m.indexTab = open_index_tab();
    clear_input(m.in);
    m.background =
        load_picture(m.indexTab, PIC_MENU, "MENU / Erreur de chargement de menu.bmp : %s\n");
    m.arrow =
        load_picture(m.indexTab, PIC_ARROW, "MENU / Erreur de chargement de fleche.bmp : %s\n");
    load_device_pictures(m.indexTab, m.devicePictures);
    set_colour_key(m.arrow, key_grey(screen), "Menu / ", "fleche");
    m.arrowRect.x = MENU_ARROW_X;
    m.arrowRect.y = MENU_ARROW_TOP;
    m.arrowRect.w = Uint16(m.arrow->w);
    m.arrowRect.h = Uint16(m.arrow->h);
    m.font = open_screen_font(SCREEN_FONT_FILE, MENU_FONT_SIZE, TTF_STYLE_NORMAL);
    m.selection = 1;
    main_menu_full_draw(m);
}

void main_menu_full_draw(MainMenu& m) {
    draw_picture(m.screen, m.background, 0, 0);
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        float unused = 0.0f;
        char text[32];
        format_seconds(rw_score(i, &unused, 0), text, sizeof text);
        render_disp_time(m, text);
        draw_picture(m.screen, m.dispTime, MENU_TIME_X, MENU_TIME_TOP + MENU_TIME_STEP * i);
    }
    menu_device_kinds(m.controls, m.joysticks, m.shownKinds);
    for (int n = 0; n < PLAYERS; ++n) {
        if (m.shownKinds[n] >= 0)
            draw_picture(m.screen, m.devicePictures[m.shownKinds[n]], MENU_DEVICE_X,
                         MENU_DEVICE_TOP + MENU_DEVICE_STEP * n);
    }
    draw_arrow(m);
    draw_option_text(m);
    // A quit already asked for stands: only a pending Return is put off.
    if (m.selection != MENU_QUIT) m.finish = false;
}

// After the controls or hall-of-fame screen: on a quit the pass goes on;
// otherwise the menu is drawn again and the pass ends (true).
static bool back_from_sub_screen(MainMenu& m, ScreenResult result) {
    m.screen = screen_after_switch();
    if (result == SCREEN_QUIT) {
        request_quit(m);
        return false;
    }
    main_menu_full_draw(m);
    return true;
}

bool main_menu_step(MainMenu& m) {
    InputSnapshot& in = m.in;
    poll_input(in);
    if (in.keys[SDLK_UP]) {
        fill_black(m.screen, &m.arrowRect);
        menu_arrow_up(m);
        draw_arrow(m);
        in.keys[SDLK_UP] = 0;
    }
    if (in.keys[SDLK_DOWN]) {
        fill_black(m.screen, &m.arrowRect);
        menu_arrow_down(m);
        draw_arrow(m);
        in.keys[SDLK_DOWN] = 0;
    }
    // The quit and Return flags stay set: the menu ends at the next pass if a
    // sub-screen's redraw put this one off.
    if (take_quit_request(in)) request_quit(m);
    if (in.keys[SDLK_RETURN]) m.finish = true;
    if (take_key(in, SDLK_F2)) {
        ScreenResult r = controls_screen(m.screen, m.controls, *m.fullscreen);
        if (back_from_sub_screen(m, r)) return false;
    }
    if (take_key(in, SDLK_F1)) {
        m.screen = switch_display(*m.fullscreen);
        main_menu_full_draw(m);
        return false;
    }
    if (take_key(in, SDLK_F3)) {
        ScreenResult r = hall_screen(m.screen, *m.fullscreen);
        if (back_from_sub_screen(m, r)) return false;
    }
    if (take_key(in, SDLK_F4)) {
        *m.fatality = !*m.fatality;
        fill_black(m.screen, &m.optionRect);
        draw_option_text(m);
    }
    game_delay(50);
    game_flip(m.screen);
    return m.finish;
}

int main_menu_leave(MainMenu& m) {
    surface_free(m.dispTime);
    surface_free(m.background);
    surface_free(m.arrow);
    for (SDL_Surface*& p : m.devicePictures)
        surface_free(p);
    font_close(m.font);
    m.dispTime = m.background = m.arrow = nullptr;
    for (SDL_Surface*& p : m.devicePictures)
        p = nullptr;
    m.font = nullptr;
    // Saved however the menu ends, the kind corrections included.
    load_save_controls(m.controls, true);
    free_index_tab(m.indexTab);
    m.indexTab = nullptr;
    return m.selection;
}

int main_menu(SDL_Surface* screen, PlayerControl controls[PLAYERS], bool& fullscreen,
              bool* fatality) {
    MainMenu m;
    main_menu_enter(m, screen, controls, fullscreen, fatality);
    while (!main_menu_step(m)) {
    }
    return main_menu_leave(m);
}
