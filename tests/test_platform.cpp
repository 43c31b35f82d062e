#include "shell/platform.h"

#include <gtest/gtest.h>

TEST(Platform, SimulatedClockAdvancesWithDelays) {
    set_simulated_clock(true, 1000);
    EXPECT_EQ(game_ticks(), 1000u);
    game_delay(50);
    EXPECT_EQ(game_ticks(), 1050u);
    set_simulated_clock(false);
}

TEST(Platform, JoystickCountOverride) {
    set_joystick_count_override(3);
    EXPECT_EQ(joystick_count(), 3);
    set_joystick_count_override(-1);
}
