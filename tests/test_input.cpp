#include "input/input.h"
#include "support/screen_window.h"
#include "support/support.h"

#include <gtest/gtest.h>

namespace {

struct InputTest : ScreenWindow {
    InputSnapshot in;
    void SetUp() override {
        ScreenWindow::SetUp();
        if (HasFatalFailure()) return;
        drain_events();
        clear_input(in);
    }

    int set_count() {
        int n = 0;
        for (int p = 0; p < SNAP_FLAGS; ++p)
            n += *snapshot_flag(in, p) != 0;
        return n;
    }
};

void push_event_of_type(Uint8 type) {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = type;
    SDL_PushEvent(&ev);
}

} // namespace

TEST_F(InputTest, PressesLatchUntilCleared) {
    push_key(SDLK_a);
    push_key_up(SDLK_a);
    push_key(SDLK_b);
    push_key(SDLK_b);
    poll_input(in);
    EXPECT_EQ(in.keys[SDLK_a], 1); // released before the poll, still recorded
    EXPECT_EQ(in.keys[SDLK_b], 1); // two presses read as one flag
    EXPECT_EQ(set_count(), 2);
    poll_input(in); // nothing pending: flags stay until a consumer clears them
    EXPECT_EQ(set_count(), 2);
}

TEST_F(InputTest, FlatPositionsOfMouseJoystickAndQuit) {
    push_mouse_button(SDL_BUTTON_LEFT);
    push_joy_button(1, 3);
    push_quit();
    poll_input(in);
    EXPECT_EQ(*snapshot_flag(in, 364), 1);
    EXPECT_EQ(*snapshot_flag(in, 336), 1);
    EXPECT_EQ(*snapshot_flag(in, 371), 1);
    EXPECT_EQ(set_count(), 3);
    EXPECT_EQ(snapshot_flag(in, SNAP_FLAGS), nullptr);
    EXPECT_EQ(snapshot_flag(in, -1), nullptr);
    clear_input(in);
    EXPECT_EQ(set_count(), 0);
}

TEST_F(InputTest, ReleasesMotionAndOutOfRangeEventsSetNothing) {
    push_key_up(SDLK_a);
    push_event_of_type(SDL_MOUSEMOTION);
    push_event_of_type(SDL_JOYAXISMOTION);
    push_event_of_type(SDL_JOYBUTTONUP);
    push_event_of_type(SDL_USEREVENT);
    push_joy_button(4, 0);  // a fifth joystick
    push_joy_button(0, 10); // an eleventh button
    push_mouse_button(8);
    push_key(static_cast<SDLKey>(SNAP_KEYS));
    poll_input(in);
    EXPECT_EQ(set_count(), 0);
    SDL_Event ev;
    EXPECT_EQ(SDL_PollEvent(&ev), 0); // drained all the same

    // The last flag of each group is still reachable.
    push_joy_button(3, 9);
    push_mouse_button(7);
    push_key(static_cast<SDLKey>(SNAP_KEYS - 1));
    poll_input(in);
    EXPECT_EQ(in.joyButtons[3][9] + in.mouseButtons[7] + in.keys[SNAP_KEYS - 1], 3);
    EXPECT_EQ(set_count(), 3);
}
