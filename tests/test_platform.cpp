#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"

#include "input/input.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

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

// A termination signal reads as a window close at every poll, once per drain,
// wherever the game is waiting, so every screen's own quit path ends it.
TEST(Platform, TerminationSignalBecomesAQuitAtEveryPoll) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    install_termination_handlers();
    EXPECT_FALSE(termination_requested());
    SDL_Event ev;
    EXPECT_EQ(game_poll_event(&ev), 0);
    raise(SIGTERM);
    ASSERT_TRUE(termination_requested());
    for (int drain = 0; drain < 3; ++drain) {
        ASSERT_EQ(game_poll_event(&ev), 1) << drain;
        EXPECT_EQ(ev.type, SDL_QUIT);
        EXPECT_EQ(game_poll_event(&ev), 0) << "a drain must end";
    }
    EXPECT_EQ(game_wait_event(&ev), 1);
    EXPECT_EQ(ev.type, SDL_QUIT);
    InputSnapshot in;
    clear_input(in);
    poll_input(in);
    EXPECT_EQ(in.quit, 1);
    clear_termination_request();
    SDL_Quit();
}

// The shared flag tells the mode in force: a refused switch leaves it alone.
TEST(Platform, RefusedDisplaySwitchKeepsTheFlag) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    bool fullscreen = false;
    ASSERT_NE(toggle_display_mode(fullscreen), nullptr);
    EXPECT_TRUE(fullscreen);
    SDL_Quit();
    // With no video driver to start, SDL_SetVideoMode fails.
    const char* driver = getenv("SDL_VIDEODRIVER");
    std::string saved = driver ? driver : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    EXPECT_EQ(toggle_display_mode(fullscreen), nullptr);
    EXPECT_TRUE(fullscreen);
    setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    SDL_Quit();
}
