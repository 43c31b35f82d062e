#include "screens/main_menu.h"
#include "screens/screens.h"
#include "shell/platform.h"
#include "support/event_script.h"
#include "support/solid_pictures.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace {
constexpr Uint32 WHITE = 0xFFFFFF;

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

bool has_white(SDL_Surface* s, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (pixel_at(s, x, y) == WHITE) return true;
    return false;
}

struct MenuWindow : ::testing::Test {
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
    int run(const std::vector<ScriptBatch>& script) {
        start_event_script(script);
        int r = main_menu(SDL_GetVideoSurface(), c, fullscreen, &fatality);
        stop_event_script();
        return r;
    }
    // Enters the menu and runs one pass per batch.
    void passes(MainMenu& m, const std::vector<ScriptBatch>& script) {
        for (const ScriptBatch& batch : script) {
            start_event_script({batch});
            main_menu_pass(m);
        }
        stop_event_script();
    }
    ScratchGameDir dir;
    SDL_Surface* screen = nullptr;
    PlayerControl c[PLAYERS];
    bool fullscreen = false;
    bool fatality = true;
};
} // namespace

TEST(MenuDevices, ExtraMouseAndJoystickPlayersBecomeKeyboardPlayers) {
    PlayerControl c[PLAYERS] = {};
    int shown[PLAYERS];
    c[0].kind = INPUT_JOYSTICK;
    c[1].kind = INPUT_MOUSE;
    c[2].kind = INPUT_JOYSTICK;
    c[3].kind = INPUT_MOUSE;
    menu_device_kinds(c, 1, shown);
    const int expected[PLAYERS] = {INPUT_JOYSTICK, INPUT_MOUSE, INPUT_KEYBOARD, INPUT_KEYBOARD};
    for (int n = 0; n < PLAYERS; ++n) {
        EXPECT_EQ(shown[n], expected[n]) << n;
        EXPECT_EQ(c[n].kind, expected[n]) << n;
    }
    c[2].kind = INPUT_JOYSTICK;
    c[3].kind = 7; // unknown: no picture, left as it is
    menu_device_kinds(c, 0, shown);
    EXPECT_EQ(c[0].kind, INPUT_KEYBOARD); // no joystick attached at all
    EXPECT_EQ(c[2].kind, INPUT_KEYBOARD);
    EXPECT_EQ(shown[3], -1);
    EXPECT_EQ(c[3].kind, 7);
}

TEST_F(MenuWindow, SelectionStaysWithinOneToFour) {
    EXPECT_EQ(run({{key_event(SDLK_DOWN)}, {key_event(SDLK_DOWN)}, {key_event(SDLK_RETURN)}}), 3);
    EXPECT_EQ(run({{key_event(SDLK_UP)}, {key_event(SDLK_RETURN)}}), 1);
    std::vector<ScriptBatch> down(6, {key_event(SDLK_DOWN)});
    down.push_back({key_event(SDLK_RETURN)});
    EXPECT_EQ(run(down), 4);
}

TEST_F(MenuWindow, ArrowIsErasedAndRedrawnOnItsRow) {
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    const Uint32 arrow = solid_colour(18);
    EXPECT_EQ(pixel_at(screen, 60, 50), arrow);
    passes(m, {{key_event(SDLK_UP)}});
    EXPECT_EQ(m.selection, 1);
    EXPECT_EQ(pixel_at(screen, 60, 50), arrow);
    passes(m, {{key_event(SDLK_DOWN)},
               {key_event(SDLK_DOWN)},
               {key_event(SDLK_DOWN)},
               {key_event(SDLK_DOWN)}});
    EXPECT_EQ(m.selection, 4);
    EXPECT_EQ(m.arrowRect.y, 155);
    EXPECT_EQ(pixel_at(screen, 60, 155), arrow);
    EXPECT_EQ(pixel_at(screen, 60, 50), 0u); // erased to black
    EXPECT_EQ(pixel_at(screen, 60, 120), 0u);
    passes(m, {{key_event(SDLK_RETURN)}});
    EXPECT_EQ(main_menu_leave(m), 4);
}

TEST_F(MenuWindow, CloseAndLeftAltF4Quit) {
    EXPECT_EQ(run({{key_event(SDLK_DOWN), quit_event()}}), 5);
    EXPECT_EQ(run({{key_event(SDLK_LALT), key_event(SDLK_F4)}}), 5);
    EXPECT_TRUE(fatality);
    // Left Alt pressed once is remembered: a later F4 quits instead of toggling.
    EXPECT_EQ(run({{key_event(SDLK_LALT)}, {key_event(SDLK_DOWN)}, {key_event(SDLK_F4)}}), 5);
    EXPECT_TRUE(fatality);
}

TEST_F(MenuWindow, F4TogglesTheOptionAndItsText) {
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    EXPECT_STREQ(m.optionText, "ON ");
    EXPECT_TRUE(has_white(screen, 210, 203, 45, 30));
    passes(m, {{key_event(SDLK_F4)}});
    EXPECT_FALSE(fatality);
    EXPECT_STREQ(m.optionText, "OFF");
    EXPECT_TRUE(has_white(screen, 210, 203, 45, 30));
    passes(m, {{key_event(SDLK_F4)}});
    EXPECT_TRUE(fatality);
    EXPECT_STREQ(m.optionText, "ON ");
    passes(m, {{key_event(SDLK_F4)}, {key_event(SDLK_RETURN)}});
    EXPECT_EQ(main_menu_leave(m), 1);
    EXPECT_FALSE(fatality);
}

TEST_F(MenuWindow, SecondMousePlayerIsDemotedAndSaved) {
    c[0].kind = INPUT_MOUSE;
    c[2].kind = INPUT_MOUSE;
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    EXPECT_EQ(pixel_at(screen, 210, 46), solid_colour(6));      // mouse picture
    EXPECT_EQ(pixel_at(screen, 210, 46 + 72), solid_colour(4)); // keyboard picture
    EXPECT_EQ(c[2].kind, INPUT_KEYBOARD);
    passes(m, {{key_event(SDLK_RETURN)}});
    EXPECT_EQ(main_menu_leave(m), 1);
    EXPECT_EQ(dir.read("data/control.dat"), "0 1 2 3\n"
                                            "0 0 0 0\n"
                                            "0 0 0 0\n"
                                            "1 1 1 1\n"
                                            "1 0 0 0\n"
                                            "97 122 112 109\n");
}

TEST_F(MenuWindow, ControlFileIsWrittenWhenTheMenuQuits) {
    for (int i = 0; i < PLAYERS; ++i) {
        c[i].character = 3 - i;
        c[i].key = 100 + i;
    }
    c[1].kind = INPUT_MOUSE;
    EXPECT_EQ(run({{quit_event()}}), 5);
    EXPECT_EQ(dir.read("data/control.dat"), "3 2 1 0\n"
                                            "0 0 0 0\n"
                                            "0 0 0 0\n"
                                            "1 1 1 1\n"
                                            "0 1 0 0\n"
                                            "100 101 102 103\n");
}

TEST_F(MenuWindow, BestTimesAreShownInSeconds) {
    dir.write("data/scores.dat", "12345.678000 8000.000000 99999.000000 61000.500000");
    MainMenu m;
    main_menu_enter(m, screen, c, fullscreen, &fatality);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(has_white(screen, 505, 45 + 35 * i, 80, 30)) << i;
    EXPECT_FALSE(has_white(screen, 480, 0, 25, 240));
    passes(m, {{quit_event()}});
    EXPECT_EQ(main_menu_leave(m), 5);
}

TEST_F(MenuWindow, SubScreensComeBackToTheSameRow) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    EXPECT_EQ(run({{key_event(SDLK_DOWN)},
                   {key_event(SDLK_F2)},
                   {key_event(SDLK_ESCAPE)},
                   {key_event(SDLK_F3)},
                   {key_event(SDLK_ESCAPE)},
                   {key_event(SDLK_RETURN)}}),
              2);
    EXPECT_EQ(script_batches_left(), 0u);
    EXPECT_EQ(run({{key_event(SDLK_F2)}, {quit_event()}}), 5);
    EXPECT_EQ(run({{key_event(SDLK_F3)}, {quit_event()}}), 5);
    EXPECT_EQ(run({{key_event(SDLK_F3)}, {key_event(SDLK_LALT), key_event(SDLK_F4)}}), 5);
    EXPECT_TRUE(fatality);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(MenuWindow, DisplayModeFollowsEverySwitch) {
    EXPECT_EQ(run({{key_event(SDLK_F1)}, {key_event(SDLK_RETURN)}}), 1);
    EXPECT_TRUE(fullscreen);
    // One switch on the controls screen, the next one back in the menu.
    EXPECT_EQ(run({{key_event(SDLK_F2)},
                   {key_event(SDLK_F1)},
                   {key_event(SDLK_ESCAPE)},
                   {key_event(SDLK_F1)},
                   {key_event(SDLK_RETURN)}}),
              1);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    EXPECT_EQ(run({{key_event(SDLK_F1)}, {key_event(SDLK_RETURN)}}), 1);
    EXPECT_FALSE(fullscreen);
    EXPECT_FALSE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
}

TEST_F(MenuWindow, QuitSurvivesARedrawInTheSamePass) {
    // Left Alt + F4 clears its flags; the F1 redraw must not forget the quit.
    EXPECT_EQ(run({{key_event(SDLK_LALT), key_event(SDLK_F4), key_event(SDLK_F1)}}), 5);
    EXPECT_EQ(script_batches_left(), 0u);
}

TEST_F(MenuWindow, MissingPictureOrFontIsFatal) {
    dir.remove("pics/pics.dat");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            main_menu(screen, c, fullscreen, &fatality);
        },
        ::testing::ExitedWithCode(1), "MENU / Erreur de chargement de menu.bmp : ");
    ASSERT_TRUE(write_solid_archive());
    dir.remove("font");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            main_menu(screen, c, fullscreen, &fatality);
        },
        ::testing::ExitedWithCode(1), "Erreur de chargement de la police font/comic.ttf : ");
}
