#include "input/controls.h"
#include "shell/platform.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

struct ControlsTest : ::testing::Test {
    PlayerControl c[PLAYERS];
    InputSnapshot in;
    void SetUp() override {
        default_controls(c);
        clear_input(in);
        set_joystick_count_override(0);
    }
    void TearDown() override { set_joystick_count_override(-1); }

    void keyboard(int row, int key, int character) {
        c[row].kind = INPUT_KEYBOARD;
        c[row].key = key;
        c[row].character = character;
    }
};

} // namespace

TEST_F(ControlsTest, Defaults) {
    const int keys[PLAYERS] = {97, 122, 112, 109};
    for (int i = 0; i < PLAYERS; ++i) {
        EXPECT_EQ(c[i].character, i);
        EXPECT_EQ(c[i].kind, INPUT_KEYBOARD);
        EXPECT_EQ(c[i].key, keys[i]);
        EXPECT_EQ(c[i].joystick, 0);
        EXPECT_EQ(c[i].button1, 0);
        EXPECT_EQ(c[i].button2, 1);
        EXPECT_FALSE(c[i].active);
        EXPECT_EQ(c[i].nextButton, 0);
    }
    EXPECT_FALSE(controls_conflict(c));
}

TEST_F(ControlsTest, CharacterAndKeyRules) {
    for (int i = 0; i < PLAYERS; ++i)
        keyboard(i, 97 + i, i);
    EXPECT_FALSE(controls_conflict(c));

    // Same character, whatever the kinds and whether anyone plays.
    c[1].character = 3;
    c[1].kind = INPUT_MOUSE;
    EXPECT_TRUE(controls_conflict(c));
    c[1].character = 1;
    c[1].kind = INPUT_KEYBOARD;

    // The key rule looks forward from a keyboard row only.
    c[2].kind = INPUT_MOUSE;
    c[2].key = 97;
    EXPECT_TRUE(controls_conflict(c));
    c[0].kind = INPUT_MOUSE;
    c[2].kind = INPUT_KEYBOARD;
    EXPECT_FALSE(controls_conflict(c));

    // A kind outside 0-2 escapes the kind rules but not the character rule.
    c[0].kind = 5;
    c[2].kind = 5;
    EXPECT_FALSE(controls_conflict(c));
    c[3].character = 0;
    EXPECT_TRUE(controls_conflict(c));
}

TEST_F(ControlsTest, MouseAndJoystickRules) {
    for (int i = 0; i < PLAYERS; ++i)
        keyboard(i, 97 + i, i);
    c[0].kind = INPUT_MOUSE;
    c[3].kind = INPUT_MOUSE;
    EXPECT_TRUE(controls_conflict(c));
    c[3].kind = INPUT_KEYBOARD;

    c[1].kind = INPUT_JOYSTICK;
    c[1].joystick = 0;
    set_joystick_count_override(0);
    EXPECT_TRUE(controls_conflict(c)); // nothing attached
    set_joystick_count_override(1);
    EXPECT_FALSE(controls_conflict(c));

    c[2].kind = INPUT_JOYSTICK;
    c[2].joystick = 1;
    EXPECT_TRUE(controls_conflict(c)); // two sticks, one attached
    set_joystick_count_override(2);
    EXPECT_FALSE(controls_conflict(c));
    c[2].joystick = 0;
    EXPECT_TRUE(controls_conflict(c)); // both on joystick 0
    c[2].joystick = 1;

    c[2].button2 = c[2].button1;
    EXPECT_TRUE(controls_conflict(c));
    // A keyboard row's equal buttons are no concern.
    c[2].kind = INPUT_KEYBOARD;
    EXPECT_FALSE(controls_conflict(c));
}

TEST_F(ControlsTest, KeyboardAndMousePresses) {
    keyboard(0, SDLK_a, 0);
    c[1].kind = INPUT_MOUSE;
    EXPECT_FALSE(take_press(c[0], in));
    EXPECT_FALSE(take_press(c[1], in));

    in.keys[SDLK_a] = 1;
    in.mouseButtons[SDL_BUTTON_LEFT] = 1;
    in.mouseButtons[SDL_BUTTON_RIGHT] = 1;
    EXPECT_TRUE(is_pressing(c[0], in));
    EXPECT_EQ(in.keys[SDLK_a], 1); // the bare test clears nothing
    EXPECT_TRUE(take_press(c[0], in));
    EXPECT_EQ(in.keys[SDLK_a], 0);
    EXPECT_TRUE(take_press(c[1], in));
    EXPECT_EQ(in.mouseButtons[SDL_BUTTON_LEFT], 0);
    // Only the left button counts, and nothing else is cleared.
    EXPECT_FALSE(take_press(c[1], in));
    EXPECT_EQ(in.mouseButtons[SDL_BUTTON_RIGHT], 1);

    // An unknown kind never presses.
    c[2].kind = 7;
    in.keys[c[2].key] = 1;
    EXPECT_FALSE(take_press(c[2], in));
    EXPECT_EQ(in.keys[c[2].key], 1);
}

TEST_F(ControlsTest, JoystickMustAlternateButtons) {
    PlayerControl& p = c[0];
    p.kind = INPUT_JOYSTICK;
    p.joystick = 1;
    p.button1 = 2;
    p.button2 = 5;
    int presses = 0;
    for (int frame = 0; frame < 3; ++frame) {
        in.joyButtons[1][2] = 1;
        presses += take_press(p, in);
        EXPECT_EQ(in.joyButtons[1][2], 0);
    }
    in.joyButtons[1][5] = 1;
    presses += take_press(p, in);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(p.nextButton, 1);

    // Both buttons in one frame: one press, button2 is next.
    p.nextButton = 0;
    in.joyButtons[1][2] = 1;
    in.joyButtons[1][5] = 1;
    EXPECT_TRUE(take_press(p, in));
    EXPECT_EQ(p.nextButton, 2);
    EXPECT_EQ(in.joyButtons[1][2], 0);
    EXPECT_EQ(in.joyButtons[1][5], 0);
}

TEST_F(ControlsTest, NextButtonTracksButtonsWhateverTheKind) {
    PlayerControl& p = c[2]; // keyboard on 'p', joystick 0 buttons 0/1
    in.joyButtons[0][1] = 1;
    EXPECT_FALSE(take_press(p, in));
    EXPECT_EQ(p.nextButton, 1);
    EXPECT_EQ(in.joyButtons[0][1], 1); // a keyboard row clears only its key
}

TEST_F(ControlsTest, OutOfRangeNumbersReadAsNotSet) {
    std::memset(&in, 1, sizeof in);
    InputSnapshot before = in;
    PlayerControl p = c[0];
    p.kind = INPUT_JOYSTICK;
    p.joystick = 4;
    EXPECT_FALSE(take_press(p, in));
    p.joystick = -1;
    EXPECT_FALSE(take_press(p, in));
    p.joystick = 0;
    p.button1 = 10;
    p.button2 = -3;
    EXPECT_FALSE(take_press(p, in));
    EXPECT_EQ(p.nextButton, 0);
    p.kind = INPUT_KEYBOARD;
    p.key = SNAP_KEYS;
    EXPECT_FALSE(take_press(p, in));
    p.key = -1;
    EXPECT_FALSE(take_press(p, in));
    EXPECT_EQ(std::memcmp(&in, &before, sizeof in), 0);
}

TEST_F(ControlsTest, StartUpKindsAndMenuReset) {
    for (int i = 0; i < PLAYERS; ++i) {
        c[i].kind = INPUT_JOYSTICK;
        c[i].joystick = 3;
        c[i].nextButton = 2;
    }
    assign_default_kinds(c, 1);
    EXPECT_EQ(c[0].kind, INPUT_JOYSTICK);
    EXPECT_EQ(c[0].joystick, 0);
    EXPECT_EQ(c[1].kind, INPUT_MOUSE);
    EXPECT_EQ(c[2].kind, INPUT_KEYBOARD);
    EXPECT_EQ(c[3].kind, INPUT_KEYBOARD);
    EXPECT_EQ(c[2].key, 112); // keys and characters stay
    EXPECT_EQ(c[3].character, 3);

    assign_default_kinds(c, 0);
    EXPECT_EQ(c[0].kind, INPUT_MOUSE);
    for (int i = 1; i < PLAYERS; ++i)
        EXPECT_EQ(c[i].kind, INPUT_KEYBOARD);

    assign_default_kinds(c, 4);
    for (int i = 0; i < PLAYERS; ++i) {
        EXPECT_EQ(c[i].kind, INPUT_JOYSTICK);
        EXPECT_EQ(c[i].joystick, i);
    }

    reset_controls_for_menu(c, 2);
    for (int i = 0; i < PLAYERS; ++i) {
        EXPECT_EQ(c[i].nextButton, 0);
        EXPECT_EQ(c[i].joystick, i < 2 ? i : 0);
    }
}

// ---- control file ----

namespace {

struct ControlFileTest : ::testing::Test {
    ScratchGameDir dir{false, false};
    PlayerControl c[PLAYERS];
    void SetUp() override { default_controls(c); }
};

} // namespace

TEST_F(ControlFileTest, SaveThenLoadRoundTrip) {
    dir.write("data/control.dat", "");
    const int values[6][4] = {{3, 1, 0, 2}, {0, 1, 2, 3}, {0, 4, 9, 2},
                              {1, 5, 8, 3}, {2, 0, 1, 2}, {97, 0, 322, 108}};
    for (int i = 0; i < PLAYERS; ++i) {
        c[i].character = values[0][i];
        c[i].joystick = values[1][i];
        c[i].button1 = values[2][i];
        c[i].button2 = values[3][i];
        c[i].kind = values[4][i];
        c[i].key = values[5][i];
    }
    load_save_controls(c, true);
    EXPECT_EQ(dir.read("data/control.dat"),
              "3 1 0 2\n0 1 2 3\n0 4 9 2\n1 5 8 3\n2 0 1 2\n97 0 322 108\n");

    PlayerControl back[PLAYERS];
    default_controls(back);
    for (int i = 0; i < PLAYERS; ++i) {
        back[i].active = i % 2 == 0;
        back[i].nextButton = i % 3;
    }
    load_save_controls(back, false);
    for (int i = 0; i < PLAYERS; ++i) {
        EXPECT_EQ(back[i].character, values[0][i]);
        EXPECT_EQ(back[i].joystick, values[1][i]);
        EXPECT_EQ(back[i].button1, values[2][i]);
        EXPECT_EQ(back[i].button2, values[3][i]);
        EXPECT_EQ(back[i].kind, values[4][i]);
        EXPECT_EQ(back[i].key, values[5][i]);
        EXPECT_EQ(back[i].active, i % 2 == 0);
        EXPECT_EQ(back[i].nextButton, i % 3);
    }
}

TEST_F(ControlFileTest, SaveOverLongerTextLeavesTailIgnored) {
    dir.write("data/control.dat", "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 1 2 0\n"
                                  "100 101 102 103\ntrailing words 77\n");
    load_save_controls(c, true);
    PlayerControl back[PLAYERS];
    default_controls(back);
    back[0].key = 5;
    load_save_controls(back, false);
    EXPECT_EQ(back[0].key, 97);
    EXPECT_EQ(back[3].key, 109);
}

TEST_F(ControlFileTest, OneLineFileLoadsLikeSixLines) {
    dir.write("data/control.dat", "0 1 2 3 0 0 0 0 0 0 0 0 1 1 1 1 0 1 2 0 97 0 0 108");
    load_save_controls(c, false);
    EXPECT_EQ(c[3].key, 108);
    EXPECT_EQ(c[1].kind, INPUT_MOUSE);
    EXPECT_EQ(c[2].kind, INPUT_JOYSTICK);
    EXPECT_EQ(c[2].button2, 1);
}

TEST_F(ControlFileTest, ShortOrDamagedFileKeepsEarlierValues) {
    dir.write("data/control.dat", "3 2 1 0\n0 0 0 0\n5 6\n");
    for (int i = 0; i < PLAYERS; ++i)
        c[i].button1 = 7;
    load_save_controls(c, false);
    EXPECT_EQ(c[0].character, 3);
    EXPECT_EQ(c[3].character, 0);
    EXPECT_EQ(c[0].button1, 5);
    EXPECT_EQ(c[1].button1, 6);
    EXPECT_EQ(c[2].button1, 7); // not in the file: as before
    EXPECT_EQ(c[3].button2, 1);
    EXPECT_EQ(c[3].key, 109);

    default_controls(c);
    dir.write("data/control.dat", "1 0 x 2\n");
    load_save_controls(c, false);
    EXPECT_EQ(c[0].character, 1);
    EXPECT_EQ(c[1].character, 0);
    EXPECT_EQ(c[2].character, 2); // unreadable from here on
    EXPECT_EQ(c[3].character, 3);
    EXPECT_EQ(c[0].key, 97);

    default_controls(c);
    dir.write("data/control.dat", "");
    load_save_controls(c, false);
    EXPECT_EQ(c[2].key, 112);
}

TEST_F(ControlFileTest, OutOfRangeValuesAreMended) {
    // Characters 9 and -1, kinds 3 and -2, keys 400 and -5, buttons 10 / 42.
    dir.write("data/control.dat", "9 1 -1 2\n-3 0 7 0\n10 0 0 -1\n1 42 1 1\n"
                                  "3 1 -2 0\n400 122 -5 97\n");
    load_save_controls(c, false);
    // Row 0 takes the lowest character nobody else holds (0), then row 2
    // the lowest left (3).
    EXPECT_EQ(c[0].character, 0);
    EXPECT_EQ(c[2].character, 3);
    EXPECT_EQ(c[0].kind, INPUT_KEYBOARD);
    EXPECT_EQ(c[1].kind, INPUT_MOUSE);
    EXPECT_EQ(c[2].kind, INPUT_KEYBOARD);
    // Row 0's own default (97) is held by row 3, 122 by row 1: first free is
    // 112; row 2 then finds its own taken and gets the last one left.
    EXPECT_EQ(c[0].key, 112);
    EXPECT_EQ(c[2].key, 109);
    EXPECT_EQ(c[0].button1, 0);
    EXPECT_EQ(c[3].button1, 0);
    EXPECT_EQ(c[1].button2, 1);
    EXPECT_EQ(c[0].joystick, 0);
    EXPECT_EQ(c[2].joystick, 7); // not attached: left for the start-up reset
    // Everything mended is usable: no duplicate characters.
    set_joystick_count_override(0);
    EXPECT_FALSE(controls_conflict(c));
    set_joystick_count_override(-1);
}

// The child sends its standard output to standard error, where the death
// test can match the message, and the missing line end with it.
static void load_with_stdout_on_stderr(PlayerControl* c, bool save) {
    fflush(stdout);
    dup2(2, 1);
    load_save_controls(c, save);
}

TEST_F(ControlFileTest, MissingFileIsFatal) {
    EXPECT_EXIT(load_with_stdout_on_stderr(c, false), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de control$");
    EXPECT_EXIT(load_with_stdout_on_stderr(c, true), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de control$");
    EXPECT_FALSE(dir.exists("data/control.dat")); // never created
}
