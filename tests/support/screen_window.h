// A screen on the dummy display: flat pictures of known colours, the real fonts,
// a simulated clock and no joystick. Fixtures of the screen tests derive from it
// and call its SetUp first.
#pragma once

#include "input/controls.h"
#include "support/support.h"

#include <gtest/gtest.h>

// Four keyboard players on characters 0 1 2 3 with the given keys.
void four_keyboard_players(PlayerControl c[PLAYERS], const int keys[PLAYERS]);

struct ScreenWindow : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
    ScratchGameDir dir;
    SDL_Surface* screen = nullptr;
    bool fullscreen = false;
};
