#include "input/controls_screen.h"
#include "screens/screens.h"
#include "platform/system.h"
#include "platform/video.h"
#include "support/event_script.h"
#include "support/screen_window.h"
#include "support/solid_pictures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <unistd.h>

namespace {
// The shipped controls, but player 1 on q, off its default key, so a capture of a shows.
void keyboard_players(PlayerControl c[PLAYERS]) {
    default_controls(c);
    c[0].key = SDLK_q;
}

SDL_Event event_of(const ScriptEvent& e) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = e.type;
    ev.key.keysym.sym = e.sym;
    ev.key.keysym.mod = e.mod;
    if (e.type == SDL_JOYBUTTONDOWN) {
        ev.jbutton.which = e.which;
        ev.jbutton.button = e.button;
    }
    return ev;
}

// The screen's rules alone, no window.
struct ControlsRules : ::testing::Test {
    void SetUp() override {
        keyboard_players(c);
        set_joystick_count_override(0);
        controls_screen_init(s, c, fullscreen);
    }
    void TearDown() override { set_joystick_count_override(-1); }
    void press(SDLKey sym, SDLMod mod = KMOD_NONE) {
        controls_screen_handle(s, event_of(key_event(sym, mod)));
    }
    void joy(Uint8 which, Uint8 button) {
        controls_screen_handle(s, event_of(joy_event(which, button)));
    }
    PlayerControl c[PLAYERS];
    bool fullscreen = false;
    ControlsScreen s;
    char texts[3][CONTROLS_TEXT_SIZE];
};

// The whole screen on a dummy display, with flat pictures of known colours.
struct ControlsWindow : ScreenWindow {
    void SetUp() override {
        ScreenWindow::SetUp();
        if (HasFatalFailure()) return;
        keyboard_players(c);
    }
    PlayerControl c[PLAYERS];
};
} // namespace

TEST_F(ControlsRules, RowsAndCharactersStayWithinBounds) {
    press(SDLK_UP);
    EXPECT_EQ(s.bar.y, 45);
    press(SDLK_LEFT);
    EXPECT_EQ(c[0].character, 0);
    for (int i = 0; i < 4; ++i)
        press(SDLK_DOWN);
    EXPECT_EQ(s.row, 3);
    EXPECT_EQ(s.bar.y, 150);
    for (int i = 0; i < CHARACTER_COUNT; ++i)
        press(SDLK_RIGHT);
    EXPECT_EQ(c[3].character, CHARACTER_COUNT - 1);
    press(SDLK_UP);
    press(SDLK_LEFT);
    EXPECT_EQ(s.bar.y, 115);
    EXPECT_EQ(c[2].character, 1);
    EXPECT_EQ(c[1].character, 1); // only the selected row changes
}

TEST_F(ControlsRules, SpaceCyclesTheAttachedDevices) {
    c[0].joystick = 3;
    press(SDLK_SPACE);
    press(SDLK_SPACE);
    EXPECT_EQ(c[0].kind, INPUT_KEYBOARD); // no joystick: mouse, then keyboard again
    set_joystick_count_override(2);
    const int kinds[] = {INPUT_MOUSE, INPUT_JOYSTICK, INPUT_JOYSTICK, INPUT_KEYBOARD};
    const int sticks[] = {3, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        press(SDLK_SPACE);
        EXPECT_EQ(c[0].kind, kinds[i]) << i;
        EXPECT_EQ(c[0].joystick, sticks[i]) << i;
    }
    EXPECT_EQ(c[0].key, 113); // key and buttons are kept through the cycle
    EXPECT_EQ(c[0].button2, 1);
    // A fifth joystick is never opened, so it is never offered.
    set_joystick_count_override(5);
    for (int i = 0; i < 12; ++i) {
        press(SDLK_SPACE);
        EXPECT_LT(c[0].joystick, 4) << i;
    }
}

TEST_F(ControlsRules, KeysAreTakenOnKeyboardRowsOnly) {
    press(SDLK_a);
    EXPECT_EQ(c[0].key, 97);
    controls_row_texts(c[0], texts);
    EXPECT_STREQ(texts[0], "touche clavier");
    EXPECT_STREQ(texts[1], "touche : a");
    for (SDLKey k : {SDLK_ESCAPE, SDLK_F1, SDLK_F4, SDLK_LEFT})
        press(k);
    EXPECT_EQ(c[0].key, 97); // the screen's own keys never become a player's key
    c[1].kind = INPUT_MOUSE;
    press(SDLK_DOWN);
    press(SDLK_b);
    EXPECT_EQ(c[1].key, 122);
    controls_row_texts(c[1], texts);
    EXPECT_STREQ(texts[1], "clic gauche");
}

TEST_F(ControlsRules, JoystickButtonsAlternateAndRestartOnRowChange) {
    c[1].kind = INPUT_JOYSTICK;
    c[1].joystick = 1;
    joy(0, 4); // row 0 is a keyboard row
    EXPECT_EQ(c[0].button1, 0);
    press(SDLK_DOWN);
    joy(1, 3);
    joy(1, 5);
    joy(1, 7);
    joy(0, 9);  // not the row's joystick
    joy(1, 12); // beyond the buttons the race reads
    EXPECT_EQ(c[1].button1, 7);
    EXPECT_EQ(c[1].button2, 5);
    press(SDLK_DOWN);
    press(SDLK_UP);
    joy(1, 2); // back on the row: button1 again
    EXPECT_EQ(c[1].button1, 2);
    EXPECT_EQ(c[1].button2, 5);
    controls_row_texts(c[1], texts);
    EXPECT_STREQ(texts[0], "?"); // joystick 1 is not attached
    EXPECT_STREQ(texts[1], "bouton 2 ");
    EXPECT_STREQ(texts[2], "et 5 ");
}

TEST_F(ControlsRules, WaysOut) {
    press(SDLK_F4, SDLMod(KMOD_LALT | KMOD_NUM));
    press(SDLK_F4, KMOD_RALT);
    EXPECT_FALSE(s.leave);
    c[1].character = 2; // rows 1 and 2 clash
    press(SDLK_ESCAPE);
    EXPECT_FALSE(s.leave);
    press(SDLK_DOWN);
    press(SDLK_LEFT); // row 1 back to character 1: mended
    press(SDLK_ESCAPE);
    EXPECT_TRUE(s.leave);
    EXPECT_EQ(s.result, 1);
    controls_screen_init(s, c, fullscreen);
    press(SDLK_F4, KMOD_LALT);
    EXPECT_TRUE(s.leave);
    EXPECT_EQ(s.result, 0);
}

TEST_F(ControlsWindow, KeyCaptureThenEscape) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    start_event_script({{key_event(SDLK_DOWN)}, {key_event(SDLK_a)}, {key_event(SDLK_ESCAPE)}});
    EXPECT_EQ(controls_screen(screen, c, fullscreen), 1);
    EXPECT_EQ(c[1].key, 97);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(ControlsWindow, CloseWhileRedReturnsZero) {
    c[3].character = 2;
    start_event_script({{key_event(SDLK_ESCAPE)}, {key_event(SDLK_ESCAPE)}, {quit_event()}});
    EXPECT_EQ(controls_screen(screen, c, fullscreen), 0);
    EXPECT_EQ(script_batches_left(), 0u); // both Escapes were refused
}

TEST_F(ControlsWindow, RowsDrawTheirPicturesAndTheBarItsVerdict) {
    const Uint32 background = solid_colour(1);
    c[1].character = 9; // damaged: no portrait
    c[2].kind = 6;      // damaged: no device picture, "?"
    ControlsScreen s;
    controls_screen_enter(s, screen, c, fullscreen);
    controls_screen_draw(s);
    EXPECT_EQ(pixel_at(screen, 60, 152), solid_colour(7 + 3)); // row 3 portrait
    EXPECT_EQ(pixel_at(screen, 90, 152), solid_colour(4));     // keyboard picture
    EXPECT_EQ(pixel_at(screen, 60, 82), background);
    EXPECT_EQ(pixel_at(screen, 90, 117), background);
    EXPECT_STREQ(s.texts[2][0], "?");
    Uint32 bar = pixel_at(screen, 20, 50);
    EXPECT_FALSE(s.conflict); // characters 9, 0, 2, 3 all differ
    EXPECT_GT((bar >> 8) & 0xFF, (background >> 8) & 0xFF);
    EXPECT_EQ(pixel_at(screen, 20, 80), background); // the bar is 30 high
    c[1].character = 0;
    controls_screen_draw(s);
    bar = pixel_at(screen, 20, 50);
    EXPECT_TRUE(s.conflict);
    EXPECT_GT(bar >> 16, background >> 16);
    controls_screen_leave(s);
}

// F2 must show the screen at once, not leave the menu up until a key comes.
TEST_F(ControlsWindow, EnteringShowsTheScreenBeforeAnyEvent) {
    SDL_FillRect(screen, nullptr, solid_colour(0)); // the menu's picture
    game_flip(screen);
    unsigned long flips = game_flip_count();
    ControlsScreen s;
    controls_screen_enter(s, screen, c, fullscreen);
    EXPECT_EQ(game_flip_count(), flips + 1);
    EXPECT_EQ(pixel_at(screen, 300, 20), solid_colour(1)); // the controls background
    EXPECT_EQ(pixel_at(screen, 60, 152), solid_colour(7 + 3));
    controls_screen_leave(s);
}

TEST_F(ControlsWindow, MissingPicturesOrFontAreFatal) {
    dir.remove("pics/pics.dat");
    EXPECT_EXIT((dup2(2, 1), controls_screen(screen, c, fullscreen)), ::testing::ExitedWithCode(1),
                "MENU / Erreur de chargement de option.bmp : ");
    ASSERT_TRUE(write_solid_archive());
    dir.remove("font");
    EXPECT_EXIT((dup2(2, 1), controls_screen(screen, c, fullscreen)), ::testing::ExitedWithCode(1),
                "Erreur de chargement de la police font/comic.ttf : ");
}
