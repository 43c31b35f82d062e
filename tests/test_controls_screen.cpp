#include "input/controls_screen.h"
#include "shell/platform.h"
#include "support/event_script.h"
#include "support/solid_pictures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstring>
#include <unistd.h>

namespace {
void four_keyboard_players(PlayerControl c[PLAYERS]) {
    const int keys[PLAYERS] = {97, 122, 112, 109};
    for (int i = 0; i < PLAYERS; ++i) {
        c[i] = PlayerControl{};
        c[i].character = i;
        c[i].kind = INPUT_KEYBOARD;
        c[i].key = keys[i];
        c[i].button1 = 0;
        c[i].button2 = 1;
    }
}

SDL_Event key(SDLKey sym, SDLMod mod = KMOD_NONE) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.keysym.sym = sym;
    ev.key.keysym.mod = mod;
    return ev;
}

SDL_Event joy(Uint8 which, Uint8 button) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_JOYBUTTONDOWN;
    ev.jbutton.which = which;
    ev.jbutton.button = button;
    return ev;
}

SDL_Event quit() {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_QUIT;
    return ev;
}

// The screen's rules alone, no window.
struct ControlsRules : ::testing::Test {
    void SetUp() override {
        four_keyboard_players(c);
        set_joystick_count_override(0);
        controls_screen_init(s, c, fullscreen);
    }
    void TearDown() override { set_joystick_count_override(-1); }
    PlayerControl c[PLAYERS];
    bool fullscreen = false;
    ControlsScreen s;
};

// The whole screen on a dummy display with flat pictures of known colours.
struct ControlsWindow : ::testing::Test {
    void SetUp() override {
        screen = start_test_video();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(TTF_Init(), 0);
        ASSERT_TRUE(write_solid_archive());
        set_simulated_clock(true, 0);
        set_joystick_count_override(0);
        four_keyboard_players(c);
    }
    void TearDown() override {
        stop_event_script();
        set_joystick_count_override(-1);
        set_simulated_clock(false);
        TTF_Quit();
        stop_test_video();
    }
    ScratchGameDir dir;
    SDL_Surface* screen = nullptr;
    PlayerControl c[PLAYERS];
    bool fullscreen = false;
};

Uint8 red_of(Uint32 p) {
    return Uint8(p >> 16);
}
Uint8 green_of(Uint32 p) {
    return Uint8(p >> 8);
}
} // namespace

TEST_F(ControlsRules, RowsMoveWithinBoundsAndTheBarFollows) {
    EXPECT_EQ(s.bar.y, 45);
    controls_screen_handle(s, key(SDLK_UP));
    EXPECT_EQ(s.row, 0);
    EXPECT_EQ(s.bar.y, 45);
    for (int i = 0; i < 4; ++i)
        controls_screen_handle(s, key(SDLK_DOWN));
    EXPECT_EQ(s.row, 3);
    EXPECT_EQ(s.bar.y, 150);
    controls_screen_handle(s, key(SDLK_UP));
    EXPECT_EQ(s.row, 2);
    EXPECT_EQ(s.bar.y, 115);
    EXPECT_FALSE(s.leave);
}

TEST_F(ControlsRules, CharacterStaysWithinTheFour) {
    controls_screen_handle(s, key(SDLK_LEFT));
    EXPECT_EQ(c[0].character, 0);
    for (int i = 0; i < 5; ++i)
        controls_screen_handle(s, key(SDLK_RIGHT));
    EXPECT_EQ(c[0].character, 3);
    controls_screen_handle(s, key(SDLK_LEFT));
    EXPECT_EQ(c[0].character, 2);
    EXPECT_EQ(c[1].character, 1); // only the selected row changes
}

TEST_F(ControlsRules, SpaceCyclesTheKindsOfTheAttachedDevices) {
    c[0].joystick = 3;
    controls_screen_handle(s, key(SDLK_SPACE));
    EXPECT_EQ(c[0].kind, INPUT_MOUSE);
    controls_screen_handle(s, key(SDLK_SPACE));
    EXPECT_EQ(c[0].kind, INPUT_KEYBOARD); // no joystick: back to the keyboard

    set_joystick_count_override(2);
    const int kinds[] = {INPUT_MOUSE, INPUT_JOYSTICK, INPUT_JOYSTICK, INPUT_KEYBOARD};
    const int sticks[] = {3, 0, 1, 1};
    for (int i = 0; i < 4; ++i) {
        controls_screen_handle(s, key(SDLK_SPACE));
        EXPECT_EQ(c[0].kind, kinds[i]) << i;
        EXPECT_EQ(c[0].joystick, sticks[i]) << i;
    }
    EXPECT_EQ(c[0].key, 97); // the key and buttons are kept through the cycle
    EXPECT_EQ(c[0].button1, 0);
    EXPECT_EQ(c[0].button2, 1);

    PlayerControl odd = c[1];
    odd.kind = 7;
    controls_next_kind(odd, 2);
    EXPECT_EQ(odd.kind, INPUT_KEYBOARD);
}

TEST_F(ControlsRules, KeysAreCapturedOnKeyboardRowsOnly) {
    c[0].key = 0;
    controls_screen_handle(s, key(SDLK_a));
    EXPECT_EQ(c[0].key, 97);
    char texts[3][CONTROLS_TEXT_SIZE];
    controls_row_texts(c[0], texts);
    EXPECT_STREQ(texts[0], "touche clavier");
    EXPECT_STREQ(texts[1], "touche : a");
    EXPECT_STREQ(texts[2], "");
    // The screen's own keys never become a player's key.
    const SDLKey own[] = {SDLK_ESCAPE, SDLK_SPACE, SDLK_UP, SDLK_LEFT,
                          SDLK_RIGHT,  SDLK_F1,    SDLK_F4};
    for (SDLKey k : own)
        controls_screen_handle(s, key(k));
    controls_screen_handle(s, key(SDLK_UP)); // back on row 0 if Space moved nothing
    EXPECT_EQ(c[0].key, 97);
    // A key with no character is stored all the same.
    PlayerControl& row = c[s.row];
    row.kind = INPUT_KEYBOARD;
    controls_screen_handle(s, key(SDLK_RSHIFT));
    EXPECT_EQ(row.key, int(SDLK_RSHIFT));

    c[1].kind = INPUT_MOUSE;
    c[1].key = 122;
    controls_screen_handle(s, key(SDLK_DOWN));
    controls_screen_handle(s, key(SDLK_b));
    EXPECT_EQ(c[1].key, 122);
    controls_row_texts(c[1], texts);
    EXPECT_STREQ(texts[0], "souris");
    EXPECT_STREQ(texts[1], "clic gauche");
}

TEST_F(ControlsRules, JoystickButtonsAlternateAndRestartOnRowChange) {
    set_joystick_count_override(2);
    c[1].kind = INPUT_JOYSTICK;
    c[1].joystick = 1;
    controls_screen_handle(s, joy(0, 4)); // row 0 is a keyboard row: nothing
    EXPECT_EQ(c[0].button1, 0);
    controls_screen_handle(s, key(SDLK_DOWN));
    controls_screen_handle(s, joy(1, 3));
    controls_screen_handle(s, joy(1, 5));
    controls_screen_handle(s, joy(1, 7));
    EXPECT_EQ(c[1].button1, 7);
    EXPECT_EQ(c[1].button2, 5);
    controls_screen_handle(s, joy(0, 9));  // another joystick than the row's: ignored
    controls_screen_handle(s, joy(1, 12)); // beyond the buttons the race reads: ignored
    EXPECT_EQ(c[1].button1, 7);
    EXPECT_EQ(c[1].button2, 5);
    // button2 would be next; moving away and back starts again with button1.
    controls_screen_handle(s, key(SDLK_DOWN));
    controls_screen_handle(s, key(SDLK_UP));
    controls_screen_handle(s, joy(1, 2));
    EXPECT_EQ(c[1].button1, 2);
    EXPECT_EQ(c[1].button2, 5);
    char texts[3][CONTROLS_TEXT_SIZE];
    controls_row_texts(c[1], texts);
    EXPECT_STREQ(texts[0], "?"); // no such joystick attached to the test machine
    EXPECT_STREQ(texts[1], "bouton 2 ");
    EXPECT_STREQ(texts[2], "et 5 ");
}

TEST_F(ControlsRules, LeftAltF4AloneQuits) {
    controls_screen_handle(s, key(SDLK_F4, SDLMod(KMOD_LALT | KMOD_NUM)));
    controls_screen_handle(s, key(SDLK_F4, KMOD_RALT));
    controls_screen_handle(s, key(SDLK_F4));
    EXPECT_FALSE(s.leave);
    controls_screen_handle(s, key(SDLK_F4, KMOD_LALT));
    EXPECT_TRUE(s.leave);
    EXPECT_EQ(s.result, 0);
}

TEST_F(ControlsRules, EscapeWaitsForTheConflictToBeMended) {
    c[1].character = 2; // rows 1 and 2 on the same character
    controls_screen_handle(s, key(SDLK_ESCAPE));
    EXPECT_FALSE(s.leave);
    controls_screen_handle(s, key(SDLK_RIGHT)); // row 0 to character 1: rows 1 and 2 still clash
    controls_screen_handle(s, key(SDLK_ESCAPE));
    EXPECT_FALSE(s.leave);
    controls_screen_handle(s, key(SDLK_DOWN));
    controls_screen_handle(s, key(SDLK_LEFT)); // row 1 to character 1: now with row 0
    controls_screen_handle(s, key(SDLK_ESCAPE));
    EXPECT_FALSE(s.leave);
    controls_screen_handle(s, key(SDLK_LEFT)); // row 1 to character 0: all different
    controls_screen_handle(s, key(SDLK_ESCAPE));
    EXPECT_TRUE(s.leave);
    EXPECT_EQ(s.result, 1);
}

TEST_F(ControlsRules, CloseLeavesEvenInConflict) {
    c[2].character = 3;
    controls_screen_handle(s, quit());
    EXPECT_TRUE(s.leave);
    EXPECT_EQ(s.result, 0);
}

TEST_F(ControlsRules, OutOfRangeRowsShowAQuestionMark) {
    char texts[3][CONTROLS_TEXT_SIZE];
    PlayerControl row = c[0];
    row.kind = 9;
    controls_row_texts(row, texts);
    EXPECT_STREQ(texts[0], "?");
    EXPECT_STREQ(texts[1], "");
    row.kind = INPUT_JOYSTICK;
    row.joystick = -3;
    controls_row_texts(row, texts);
    EXPECT_STREQ(texts[0], "?");
    row.kind = INPUT_KEYBOARD;
    row.key = 0; // a zero low byte ends the text early rather than showing garbage
    controls_row_texts(row, texts);
    EXPECT_STREQ(texts[1], "touche : ");
}

TEST_F(ControlsWindow, KeyCaptureThenEscapeReturnsOne) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    c[1].key = 98;
    c[0].key = 113; // so that a on row 1 makes no clash
    start_event_script({{key_event(SDLK_DOWN)}, {key_event(SDLK_a)}, {key_event(SDLK_ESCAPE)}});
    EXPECT_EQ(controls_screen(screen, c, fullscreen), 1);
    EXPECT_EQ(c[1].key, 97);
    EXPECT_EQ(c[0].key, 113);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(ControlsWindow, CloseWhileRedReturnsZero) {
    c[3].character = 2;
    start_event_script({{key_event(SDLK_ESCAPE)}, {key_event(SDLK_ESCAPE)}, {quit_event()}});
    EXPECT_EQ(controls_screen(screen, c, fullscreen), 0);
    EXPECT_EQ(script_batches_left(), 0u); // both Escapes were refused
    EXPECT_EQ(c[3].character, 2);         // the conflict stays as it was
}

TEST_F(ControlsWindow, F1TwiceComesBackToTheWindow) {
    start_event_script({{key_event(SDLK_F1)}, {key_event(SDLK_F1)}, {key_event(SDLK_ESCAPE)}});
    EXPECT_EQ(controls_screen(screen, c, fullscreen), 1);
    EXPECT_FALSE(fullscreen);
    EXPECT_FALSE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    start_event_script({{key_event(SDLK_F1)}, {key_event(SDLK_ESCAPE)}});
    EXPECT_EQ(controls_screen(SDL_GetVideoSurface(), c, fullscreen), 1);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
}

TEST_F(ControlsWindow, RowsDrawTheirPicturesAndTheBarItsVerdict) {
    const Uint32 background = solid_colour(1);
    c[1].character = 9; // damaged: no portrait
    c[2].kind = 6;      // damaged: no device picture
    ControlsScreen s;
    controls_screen_enter(s, screen, c, fullscreen);
    controls_screen_draw(s);
    EXPECT_EQ(pixel_at(screen, 60, 45 + 35 * 3 + 2), solid_colour(7 + 3)); // row 3 portrait
    EXPECT_EQ(pixel_at(screen, 90, 45 + 35 * 3 + 2), solid_colour(4));     // keyboard icon
    EXPECT_EQ(pixel_at(screen, 60, 80 + 2), background);
    EXPECT_EQ(pixel_at(screen, 60, 115 + 2), solid_colour(7 + 2));
    EXPECT_EQ(pixel_at(screen, 90, 115 + 2), background);
    EXPECT_STREQ(s.texts[2][0], "?");
    // Characters 9, 0, 2, 3 are all different: a green bar on row 0.
    Uint32 bar = pixel_at(screen, 20, 50);
    EXPECT_FALSE(s.conflict);
    EXPECT_GT(green_of(bar), green_of(background));
    EXPECT_LE(red_of(bar), red_of(background));
    EXPECT_EQ(pixel_at(screen, 20, 80), background); // the bar is 30 high

    c[1].character = 0;
    controls_screen_draw(s);
    bar = pixel_at(screen, 20, 50);
    EXPECT_TRUE(s.conflict);
    EXPECT_GT(red_of(bar), red_of(background));
    EXPECT_LE(green_of(bar), green_of(background));
    controls_screen_leave(s);
}

TEST_F(ControlsWindow, MissingPicturesAndFontAreFatal) {
    dir.remove("pics");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            controls_screen(screen, c, fullscreen);
        },
        ::testing::ExitedWithCode(1), "MENU / Erreur de chargement de option.bmp : ");
}

TEST_F(ControlsWindow, MissingFontIsFatal) {
    dir.remove("font");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            controls_screen(screen, c, fullscreen);
        },
        ::testing::ExitedWithCode(1), "Erreur de chargement de la police font/comic.ttf : ");
}
