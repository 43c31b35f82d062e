#include "screens/hall_screen.h"
#include "records/records.h"
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
// Ten lines, the first one as given, then characters as given.
std::string hall_text(const char* first, const int characters[10]) {
    std::string text = first;
    for (int r = 1; r < 10; ++r) {
        char line[64];
        snprintf(line, sizeof line, "n%c%c %f %d\n", 'a' + r, 'a' + r, 20000.0 + 1000.0 * r,
                 characters[r]);
        text += line;
    }
    return text;
}

// First column in [from, to) of the row band at y0 holding a white pixel, or -1.
int first_white_column(SDL_Surface* s, int from, int to, int y0) {
    for (int x = from; x < to; ++x)
        for (int y = y0; y < y0 + 46; ++y)
            if (pixel_at(s, x, y) == 0xFFFFFF) return x;
    return -1;
}

struct HallWindow : ScreenWindow {
    void SetUp() override {
        ScreenWindow::SetUp();
        if (HasFatalFailure()) return;
        const int characters[10] = {0, 1, 2, 3, 0, 2, 1, 3, 0, 1};
        dir.write("data/hall.dat", hall_text("ace 12345.678000 0\n", characters));
    }
    int run(const std::vector<ScriptBatch>& script) {
        start_event_script(script);
        return hall_screen(screen, fullscreen);
    }
};
} // namespace

TEST_F(HallWindow, RowsStandInTwoColumns) {
    char text[32];
    format_seconds(12345.678f, text, sizeof text);
    EXPECT_STREQ(text, "12.346");
    HallScreen h;
    hall_screen_enter(h, screen, fullscreen);
    // Rank 5 (character 2): portrait at (305, 0), name from x 365, time from x 425.
    EXPECT_EQ(pixel_at(screen, 305, 0), solid_colour(7 + 2));
    EXPECT_EQ(pixel_at(screen, 334, 29), solid_colour(7 + 2));
    EXPECT_EQ(pixel_at(screen, 304, 0), solid_colour(2));
    int name = first_white_column(screen, 335, 420, 0);
    EXPECT_GE(name, 365);
    EXPECT_LT(name, 372);
    int time = first_white_column(screen, 420, 560, 0);
    EXPECT_GE(time, 425);
    EXPECT_LT(time, 432);
    EXPECT_EQ(pixel_at(screen, 30, 184), solid_colour(7)); // rank 4, bottom left
    hall_screen_leave(h);
}

TEST_F(HallWindow, DamagedCharacterDrawsNoPortrait) {
    const int characters[10] = {0, -1, 2, 3, 0, 2, 1, 3, 0, 1};
    dir.write("data/hall.dat", hall_text("ace 12345.678000 7\n", characters));
    HallScreen h;
    hall_screen_enter(h, screen, fullscreen);
    EXPECT_EQ(h.shownCharacters[0], -1);
    EXPECT_EQ(pixel_at(screen, 30, 0), solid_colour(2));
    EXPECT_NE(first_white_column(screen, 60, 140, 0), -1); // the name is still shown
    for (int r = 1; r < 10; ++r)
        EXPECT_LE(h.shownCharacters[r], 3) << r;
    hall_screen_leave(h);
    // A damaged or missing file is drawn all the same.
    dir.write("data/hall.dat", "abcdefgh 15000.000000 2\n");
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
    dir.remove("data/hall.dat");
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
}

TEST_F(HallWindow, WaysOut) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
    EXPECT_EQ(run({{quit_event()}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE), quit_event()}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_LALT)}, {key_event(SDLK_F4)}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_F4)}, {key_event(SDLK_ESCAPE)}}), 1);
    // The F1 redraw puts off a pending Escape, never a close request.
    set_simulated_clock_value(0);
    EXPECT_EQ(run({{quit_event(), key_event(SDLK_F1)}}), 0);
    EXPECT_LT(game_ticks(), 1000u); // ended at once, not on a later event
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE), key_event(SDLK_F1)}, {key_event(SDLK_ESCAPE)}}), 1);
    EXPECT_EQ(script_batches_left(), 0u);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(HallWindow, F1RedrawsInTheOtherModeAndStays) {
    EXPECT_EQ(run({{key_event(SDLK_F1)}, {}, {key_event(SDLK_ESCAPE)}}), 1);
    EXPECT_EQ(script_batches_left(), 0u);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    EXPECT_EQ(pixel_at(SDL_GetVideoSurface(), 305, 0), solid_colour(7 + 2));
}

TEST_F(HallWindow, MissingPictureOrFontIsFatal) {
    dir.remove("pics/pics.dat");
    EXPECT_EXIT((dup2(2, 1), hall_screen(screen, fullscreen)), ::testing::ExitedWithCode(1),
                "HALL / Erreur de chargement de hall.bmp : ");
    ASSERT_TRUE(write_solid_archive());
    dir.remove("font");
    EXPECT_EXIT((dup2(2, 1), hall_screen(screen, fullscreen)), ::testing::ExitedWithCode(1),
                "Erreur de chargement de la police font/comic.ttf : ");
}
