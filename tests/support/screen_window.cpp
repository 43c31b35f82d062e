#include "support/screen_window.h"

#include "platform/clock.h"
#include "platform/system.h"
#include "support/event_script.h"
#include "support/solid_pictures.h"

#include <SDL/SDL_ttf.h>

void ScreenWindow::SetUp() {
    screen = start_test_video();
    ASSERT_NE(screen, nullptr);
    ASSERT_EQ(TTF_Init(), 0);
    ASSERT_TRUE(write_solid_archive());
    set_simulated_clock(true, 0);
    set_joystick_count_override(0);
}

void ScreenWindow::TearDown() {
    stop_event_script();
    set_joystick_count_override(-1);
    set_simulated_clock(false);
    TTF_Quit();
    stop_test_video();
}
