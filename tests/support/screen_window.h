// A screen on the dummy display: flat pictures of known colours, the real fonts,
// a simulated clock and no joystick. Fixtures of the screen tests derive from it
// and call its SetUp first, returning if it failed.
#pragma once

#include "support/support.h"

#include <gtest/gtest.h>

struct ScreenWindow : ::testing::Test {
    void SetUp() override;
    void TearDown() override;
    ScratchGameDir dir;
    SDL_Surface* screen = nullptr;
    bool fullscreen = false;
};
