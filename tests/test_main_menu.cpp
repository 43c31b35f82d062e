#include "screens/main_menu.h"
#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "support/event_script.h"
#include "support/screen_window.h"
#include "support/solid_pictures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {
bool has_white(SDL_Surface* s, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (pixel_at(s, x, y) == 0xFFFFFF) return true;
    return false;
}

ScriptBatch key(SDLKey sym) {
    return {key_event(sym)};
}

struct MenuWindow : ScreenWindow {
    void SetUp() override {
        ScreenWindow::SetUp();
        if (HasFatalFailure()) return;
        default_controls(c);
    }
    int run(const std::vector<ScriptBatch>& script) {
        start_event_script(script);
        return main_menu(SDL_GetVideoSurface(), c, fullscreen, &fatality);
    }
    // One pass of an entered menu per batch.
    void passes(MainMenu& m, const std::vector<ScriptBatch>& script) {
        for (const ScriptBatch& batch : script) {
            start_event_script({batch});
            main_menu_step(m);
        }
    }
    PlayerControl c[PLAYERS];
    bool fatality = true;
};
} // namespace

TEST_F(MenuWindow, SelectionStaysWithinOneToFour) {
    EXPECT_EQ(run({key(SDLK_DOWN), key(SDLK_DOWN), key(SDLK_RETURN)}), 3);
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    const Uint32 arrow = solid_colour(18);
    passes(m, {key(SDLK_UP)});
    EXPECT_EQ(m.selection, 1);
    EXPECT_EQ(pixel_at(screen, 60, 50), arrow); // erased and drawn again in place
    passes(m, {key(SDLK_DOWN), key(SDLK_DOWN), key(SDLK_DOWN), key(SDLK_DOWN)});
    EXPECT_EQ(m.selection, 4);
    EXPECT_EQ(pixel_at(screen, 60, 155), arrow);
    EXPECT_EQ(pixel_at(screen, 60, 120), 0u);
    passes(m, {key(SDLK_RETURN)});
    EXPECT_EQ(main_menu_leave(m), 4);
}

TEST_F(MenuWindow, CloseAndLeftAltF4Quit) {
    EXPECT_EQ(run({{key_event(SDLK_DOWN), quit_event()}}), 5);
    EXPECT_EQ(run({{key_event(SDLK_LALT), key_event(SDLK_F4)}}), 5);
    // Left Alt pressed once is remembered: a later F4 quits instead of toggling.
    EXPECT_EQ(run({key(SDLK_LALT), key(SDLK_DOWN), key(SDLK_F4)}), 5);
    EXPECT_TRUE(fatality);
    // The F1 redraw in the same pass must not forget the quit: the menu ends
    // at once, without waiting for another event.
    set_simulated_clock_value(0);
    EXPECT_EQ(run({{key_event(SDLK_LALT), key_event(SDLK_F4), key_event(SDLK_F1)}}), 5);
    EXPECT_LT(game_ticks(), 1000u);
}

TEST_F(MenuWindow, F4TogglesTheOptionAndItsText) {
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    EXPECT_STREQ(m.optionText, "ON ");
    passes(m, {key(SDLK_F4)});
    EXPECT_FALSE(fatality);
    EXPECT_STREQ(m.optionText, "OFF");
    EXPECT_TRUE(has_white(screen, 210, 203, 45, 30));
    passes(m, {key(SDLK_F4)});
    EXPECT_TRUE(fatality);
    EXPECT_STREQ(m.optionText, "ON ");
    passes(m, {key(SDLK_F4), key(SDLK_RETURN)});
    EXPECT_EQ(main_menu_leave(m), 1);
    EXPECT_FALSE(fatality);
}

TEST_F(MenuWindow, ExtraDevicePlayersAreDemotedAndSaved) {
    PlayerControl d[PLAYERS] = {};
    int shown[PLAYERS];
    const int kinds[PLAYERS] = {INPUT_JOYSTICK, INPUT_MOUSE, INPUT_JOYSTICK, 7};
    for (int n = 0; n < PLAYERS; ++n)
        d[n].kind = kinds[n];
    menu_device_kinds(d, 1, shown);
    const int expected[PLAYERS] = {INPUT_JOYSTICK, INPUT_MOUSE, INPUT_KEYBOARD, -1};
    for (int n = 0; n < PLAYERS; ++n)
        EXPECT_EQ(shown[n], expected[n]) << n;
    EXPECT_EQ(d[3].kind, 7); // unknown kind: no picture, left alone

    c[0].kind = INPUT_MOUSE;
    c[2].kind = INPUT_MOUSE;
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    EXPECT_EQ(pixel_at(screen, 210, 46), solid_colour(6));      // mouse picture
    EXPECT_EQ(pixel_at(screen, 210, 46 + 72), solid_colour(4)); // keyboard picture
    passes(m, {key(SDLK_RETURN)});
    EXPECT_EQ(main_menu_leave(m), 1);
    EXPECT_EQ(dir.read("data/control.dat"), "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n1 0 0 0\n"
                                            "97 122 112 109\n");
}

TEST_F(MenuWindow, ControlFileIsWrittenWhenTheMenuQuits) {
    for (int i = 0; i < PLAYERS; ++i)
        c[i].character = 3 - i;
    c[1].kind = INPUT_MOUSE;
    EXPECT_EQ(run({{quit_event()}}), 5);
    EXPECT_EQ(dir.read("data/control.dat"), "3 2 1 0\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 1 0 0\n"
                                            "97 122 112 109\n");
}

TEST_F(MenuWindow, SubScreensComeBackToTheSameRowOrQuit) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    EXPECT_EQ(run({key(SDLK_DOWN), key(SDLK_F2), key(SDLK_ESCAPE), key(SDLK_F3), key(SDLK_ESCAPE),
                   key(SDLK_RETURN)}),
              2);
    EXPECT_EQ(script_batches_left(), 0u);
    EXPECT_EQ(run({key(SDLK_F2), {quit_event()}}), 5);
    EXPECT_EQ(run({key(SDLK_F3), {quit_event()}}), 5);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(MenuWindow, DisplayModeFollowsEverySwitch) {
    EXPECT_EQ(run({key(SDLK_F1), key(SDLK_RETURN)}), 1);
    EXPECT_TRUE(fullscreen);
    // One switch on the controls screen, the next one back in the menu.
    EXPECT_EQ(run({key(SDLK_F2), key(SDLK_F1), key(SDLK_ESCAPE), key(SDLK_F1), key(SDLK_RETURN)}),
              1);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
}

TEST_F(MenuWindow, MissingPictureOrFontIsFatal) {
    dir.remove("pics/pics.dat");
    EXPECT_EXIT((dup2(2, 1), main_menu(screen, c, fullscreen, &fatality)),
                ::testing::ExitedWithCode(1), "MENU / Erreur de chargement de menu.bmp : ");
    ASSERT_TRUE(write_solid_archive());
    dir.remove("font");
    EXPECT_EXIT((dup2(2, 1), main_menu(screen, c, fullscreen, &fatality)),
                ::testing::ExitedWithCode(1),
                "Erreur de chargement de la police font/comic.ttf : ");
}
