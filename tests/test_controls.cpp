#include "input/controls.h"
#include "platform/system.h"
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
        for (int i = 0; i < PLAYERS; ++i)
            c[i].key = 97 + i;
        clear_input(in);
        set_joystick_count_override(0);
    }
    void TearDown() override { set_joystick_count_override(-1); }
};

} // namespace

TEST_F(ControlsTest, CharacterAndKeyRules) {
    EXPECT_FALSE(controls_conflict(c));
    c[3].character = 1; // same character, whatever the kinds
    c[3].kind = 5;
    EXPECT_TRUE(controls_conflict(c));
    c[3].character = 3;
    EXPECT_FALSE(controls_conflict(c)); // kind 5: no kind rule applies

    // The key rule looks forward from a keyboard row only.
    c[2].kind = INPUT_MOUSE;
    c[2].key = 97;
    EXPECT_TRUE(controls_conflict(c));
    c[0].kind = INPUT_MOUSE;
    c[2].kind = INPUT_KEYBOARD;
    EXPECT_FALSE(controls_conflict(c));
    c[1].kind = INPUT_MOUSE;
    EXPECT_TRUE(controls_conflict(c)); // two mice
}

TEST_F(ControlsTest, JoystickRules) {
    c[1].kind = INPUT_JOYSTICK;
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
    c[2].kind = INPUT_KEYBOARD; // a keyboard row's buttons are no concern
    EXPECT_FALSE(controls_conflict(c));
}

TEST_F(ControlsTest, KeyboardAndMousePresses) {
    c[1].kind = INPUT_MOUSE;
    c[2].kind = 7;
    in.keys[97] = 1;
    in.keys[99] = 1;
    in.mouseButtons[SDL_BUTTON_LEFT] = 1;
    in.mouseButtons[SDL_BUTTON_RIGHT] = 1;
    EXPECT_TRUE(is_pressing(c[0], in));
    EXPECT_EQ(in.keys[97], 1); // the bare test clears nothing
    EXPECT_TRUE(take_press(c[0], in));
    EXPECT_FALSE(take_press(c[0], in));
    EXPECT_TRUE(take_press(c[1], in));
    EXPECT_FALSE(take_press(c[1], in)); // only the left button counts
    EXPECT_EQ(in.mouseButtons[SDL_BUTTON_RIGHT], 1);
    EXPECT_FALSE(take_press(c[2], in)); // an unknown kind never presses
    EXPECT_EQ(in.keys[99], 1);          // nor clears anything
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
    }
    in.joyButtons[1][5] = 1;
    presses += take_press(p, in);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(p.nextButton, 1);

    p.nextButton = 0;
    in.joyButtons[1][2] = 1;
    in.joyButtons[1][5] = 1;
    EXPECT_TRUE(take_press(p, in));
    EXPECT_EQ(p.nextButton, 2);
    EXPECT_EQ(in.joyButtons[1][2] + in.joyButtons[1][5], 0);

    // A keyboard row tracks its buttons too but clears only its key.
    in.joyButtons[0][1] = 1;
    EXPECT_FALSE(take_press(c[2], in));
    EXPECT_EQ(c[2].nextButton, 1);
    EXPECT_EQ(in.joyButtons[0][1], 1);
}

TEST_F(ControlsTest, OutOfRangeNumbersReadAsNotSet) {
    std::memset(&in, 1, sizeof in);
    const InputSnapshot before = in;
    PlayerControl p = c[0];
    p.kind = INPUT_JOYSTICK;
    for (int j : {4, -1}) {
        p.joystick = j;
        EXPECT_FALSE(take_press(p, in));
    }
    p.joystick = 0;
    p.button1 = 10;
    p.button2 = -3;
    EXPECT_FALSE(take_press(p, in));
    EXPECT_EQ(p.nextButton, 0);
    p.kind = INPUT_KEYBOARD;
    for (int k : {SNAP_KEYS, -1}) {
        p.key = k;
        EXPECT_FALSE(take_press(p, in));
    }
    EXPECT_EQ(std::memcmp(&in, &before, sizeof in), 0);
}

TEST_F(ControlsTest, StartUpKindsAndMenuReset) {
    for (int i = 0; i < PLAYERS; ++i)
        c[i].joystick = 3;
    assign_default_kinds(c, 1);
    EXPECT_EQ(c[0].kind, INPUT_JOYSTICK);
    EXPECT_EQ(c[0].joystick, 0);
    EXPECT_EQ(c[1].kind, INPUT_MOUSE);
    EXPECT_EQ(c[2].kind + c[3].kind, 0);
    assign_default_kinds(c, 0);
    EXPECT_EQ(c[0].kind, INPUT_MOUSE);
    EXPECT_EQ(c[1].kind, INPUT_KEYBOARD);
    assign_default_kinds(c, 4);
    EXPECT_EQ(c[3].kind, INPUT_JOYSTICK);
    EXPECT_EQ(c[3].joystick, 3);
    EXPECT_EQ(c[2].key, 99); // keys and characters stay
    EXPECT_EQ(c[2].character, 2);

    c[0].nextButton = 2;
    reset_controls_for_menu(c, 2);
    EXPECT_EQ(c[0].nextButton, 0);
    EXPECT_EQ(c[1].joystick, 1);
    EXPECT_EQ(c[3].joystick, 0);
}

// ---- control file ----

namespace {

struct ControlFileTest : ::testing::Test {
    ScratchGameDir dir{false, false};
    PlayerControl c[PLAYERS];
    void SetUp() override { default_controls(c); }

    // Rows as "character joystick button1 button2 kind key".
    void expect_row(int i, int ch, int joy, int b1, int b2, int kind, int key) {
        EXPECT_EQ(c[i].character, ch) << "row " << i;
        EXPECT_EQ(c[i].joystick, joy) << "row " << i;
        EXPECT_EQ(c[i].button1, b1) << "row " << i;
        EXPECT_EQ(c[i].button2, b2) << "row " << i;
        EXPECT_EQ(c[i].kind, kind) << "row " << i;
        EXPECT_EQ(c[i].key, key) << "row " << i;
    }
};

// The child sends its standard output to standard error, where the death
// test can match the message, and the missing line end with it.
void load_with_stdout_on_stderr(PlayerControl* c, bool save) {
    fflush(stdout);
    dup2(2, 1);
    load_save_controls(c, save);
}

} // namespace

TEST_F(ControlFileTest, SaveThenLoadKeepsRaceState) {
    const char* text = "3 1 0 2\n0 1 2 3\n0 4 9 2\n1 5 8 3\n2 0 1 2\n97 0 322 108\n";
    dir.write("data/control.dat", std::string(text) + "an older, longer tail\n");
    load_save_controls(c, false);
    c[1].key = 300;
    load_save_controls(c, true);
    const std::string saved = "3 1 0 2\n0 1 2 3\n0 4 9 2\n1 5 8 3\n2 0 1 2\n97 300 322 108\n";
    EXPECT_EQ(dir.read("data/control.dat").substr(0, saved.size()), saved);
    default_controls(c);
    for (int i = 0; i < PLAYERS; ++i) {
        c[i].active = i == 2;
        c[i].nextButton = i;
    }
    load_save_controls(c, false);
    expect_row(0, 3, 0, 0, 1, 2, 97);
    expect_row(1, 1, 1, 4, 5, 0, 300);
    expect_row(2, 0, 2, 9, 8, 1, 322);
    for (int i = 0; i < PLAYERS; ++i) {
        EXPECT_EQ(c[i].active, i == 2);
        EXPECT_EQ(c[i].nextButton, i);
    }
}

TEST_F(ControlFileTest, OneLineLoadsLikeSixAndShortFilesKeepValues) {
    dir.write("data/control.dat", "0 1 2 3 0 0 0 0 0 0 0 0 1 1 1 1 0 1 2 0 97 0 0 108");
    load_save_controls(c, false);
    expect_row(1, 1, 0, 0, 1, INPUT_MOUSE, 0);
    expect_row(3, 3, 0, 0, 1, INPUT_KEYBOARD, 108);

    default_controls(c);
    c[2].button1 = 7;
    dir.write("data/control.dat", "3 2 1 0\n0 0 0 0\n5 6\n");
    load_save_controls(c, false);
    expect_row(0, 3, 0, 5, 1, 0, 97);
    expect_row(2, 1, 0, 7, 1, 0, 112); // button1 not in the file: as before

    default_controls(c);
    dir.write("data/control.dat", "1 0 x 2\n");
    load_save_controls(c, false);
    EXPECT_EQ(c[0].character, 1);
    EXPECT_EQ(c[1].character, 0);
    EXPECT_EQ(c[2].character, 2); // unreadable from here on
}

TEST_F(ControlFileTest, OutOfRangeValuesAreMended) {
    dir.write("data/control.dat", "9 1 -1 2\n-3 0 7 0\n10 0 0 -1\n1 42 1 1\n"
                                  "3 1 -2 0\n400 122 -5 97\n");
    load_save_controls(c, false);
    // Characters: row 0 takes the lowest one free (0), then row 2 the last (3).
    // Keys: row 0's own default 97 is held by row 3 and 122 by row 1, so 112;
    // row 2 then gets the one default left, 109.
    expect_row(0, 0, 0, 0, 1, INPUT_KEYBOARD, 112);
    expect_row(1, 1, 0, 0, 1, INPUT_MOUSE, 122);
    expect_row(2, 3, 7, 0, 1, INPUT_KEYBOARD, 109); // joystick 7 left for the shell
    expect_row(3, 2, 0, 0, 1, INPUT_KEYBOARD, 97);
    EXPECT_FALSE(controls_conflict(c));

    // Beyond int is out of range, never wrapped: 4294967393 is not key 97,
    // 4294967298 not button 2, -4294967295 not character 1.
    default_controls(c);
    dir.write("data/control.dat", "-4294967295 1 2 3\n0 0 0 0\n4294967298 0 0 0\n1 1 1 1\n"
                                  "0 0 0 0\n4294967393 99999999999999999999999 112 109\n");
    load_save_controls(c, false);
    expect_row(0, 0, 0, 0, 1, INPUT_KEYBOARD, 97);
    expect_row(1, 1, 0, 0, 1, INPUT_KEYBOARD, 122);
}

TEST_F(ControlFileTest, MissingFileIsFatal) {
    EXPECT_EXIT(load_with_stdout_on_stderr(c, false), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de control$");
    EXPECT_EXIT(load_with_stdout_on_stderr(c, true), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de control$");
    EXPECT_FALSE(dir.exists("data/control.dat")); // never created
}
