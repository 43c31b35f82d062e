#include "screens/hall_screen.h"
#include "screens/screen_draw.h"
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

// Ten lines: rank r holds name, time and character as given.
std::string hall_text(const int characters[10], const char* rank0 = "ace 12345.678000") {
    std::string text;
    const char* names[10] = {"ace", "bob", "cid", "dan", "eve", "fox", "gus", "hal", "ivy", "jay"};
    for (int r = 0; r < 10; ++r) {
        char line[64];
        if (r == 0)
            snprintf(line, sizeof line, "%s %d\n", rank0, characters[r]);
        else
            snprintf(line, sizeof line, "%s %f %d\n", names[r], 20000.0 + 1000.0 * r,
                     characters[r]);
        text += line;
    }
    return text;
}

// First column in [from, to) of the band y0..y0+45 holding a white pixel, or -1.
int first_white_column(SDL_Surface* s, int from, int to, int y0) {
    for (int x = from; x < to; ++x)
        for (int y = y0; y < y0 + 46; ++y)
            if (pixel_at(s, x, y) == WHITE) return x;
    return -1;
}

struct HallWindow : ::testing::Test {
    void SetUp() override {
        screen = start_test_video();
        ASSERT_NE(screen, nullptr);
        ASSERT_EQ(TTF_Init(), 0);
        ASSERT_TRUE(write_solid_archive());
        set_simulated_clock(true, 0);
        const int characters[10] = {0, 1, 2, 3, 0, 2, 1, 3, 0, 1};
        dir.write("data/hall.dat", hall_text(characters));
    }
    void TearDown() override {
        stop_event_script();
        set_simulated_clock(false);
        TTF_Quit();
        stop_test_video();
    }
    int run(const std::vector<ScriptBatch>& script) {
        start_event_script(script);
        int r = hall_screen(screen, fullscreen);
        stop_event_script();
        return r;
    }
    ScratchGameDir dir;
    SDL_Surface* screen = nullptr;
    bool fullscreen = false;
};
} // namespace

TEST(HallLayout, RanksFillTwoColumnsFromTheTop) {
    int x0, y;
    hall_row_place(0, &x0, &y);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y, 0);
    hall_row_place(4, &x0, &y);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(y, 184);
    hall_row_place(5, &x0, &y);
    EXPECT_EQ(x0, 275);
    EXPECT_EQ(y, 0);
    hall_row_place(9, &x0, &y);
    EXPECT_EQ(x0, 275);
    EXPECT_EQ(y, 184);
}

TEST(HallLayout, TimesShowInSecondsWithThreeDecimals) {
    char text[32];
    format_seconds(12345.678f, text, sizeof text);
    EXPECT_STREQ(text, "12.346");
    format_seconds(9876.5f, text, sizeof text);
    EXPECT_STREQ(text, "9.877");
    format_seconds(0.0f, text, sizeof text);
    EXPECT_STREQ(text, "0.000");
}

TEST_F(HallWindow, RankFiveStandsAtTheTopOfTheRightColumn) {
    HallScreen h;
    hall_screen_enter(h, screen, fullscreen);
    const Uint32 background = solid_colour(2);
    // Rank 5 ran with character 2: its portrait at (305, 0).
    EXPECT_EQ(pixel_at(screen, 305, 0), solid_colour(7 + 2));
    EXPECT_EQ(pixel_at(screen, 334, 29), solid_colour(7 + 2));
    EXPECT_EQ(pixel_at(screen, 304, 0), background);
    EXPECT_EQ(pixel_at(screen, 335, 0), background);
    // Name from x 365, time from x 425.
    int name = first_white_column(screen, 335, 420, 0);
    EXPECT_GE(name, 365);
    EXPECT_LT(name, 372);
    int time = first_white_column(screen, 420, 560, 0);
    EXPECT_GE(time, 425);
    EXPECT_LT(time, 432);
    // Rank 4 at the bottom of the left column, character 0.
    EXPECT_EQ(pixel_at(screen, 30, 184), solid_colour(7));
    EXPECT_EQ(first_white_column(screen, 0, 30, 184), -1);
    hall_screen_leave(h);
}

TEST_F(HallWindow, DamagedCharacterDrawsNoPortrait) {
    // The first line's character is damaged: nothing above it to fall back on.
    const int characters[10] = {7, -1, 2, 3, 0, 2, 1, 3, 0, 1};
    dir.write("data/hall.dat", hall_text(characters));
    HallScreen h;
    hall_screen_enter(h, screen, fullscreen);
    EXPECT_EQ(h.shownCharacters[0], -1);
    EXPECT_EQ(pixel_at(screen, 30, 0), solid_colour(2));
    EXPECT_EQ(pixel_at(screen, 59, 29), solid_colour(2));
    EXPECT_NE(first_white_column(screen, 60, 140, 0), -1); // the name is still shown
    for (int r = 1; r < 10; ++r) {
        EXPECT_GE(h.shownCharacters[r], -1) << r;
        EXPECT_LE(h.shownCharacters[r], 3) << r;
    }
    EXPECT_EQ(h.shownCharacters[2], 2);
    hall_screen_leave(h);
}

TEST_F(HallWindow, EscapeGoesBackAndQuitsEndTheGame) {
    long surfaces = resource_counts().surfaces, fonts = resource_counts().fonts;
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
    EXPECT_EQ(run({{quit_event()}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE), quit_event()}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_LALT)}, {key_event(SDLK_F4)}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_F4)}, {key_event(SDLK_ESCAPE)}}), 1); // F4 alone: nothing
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
}

TEST_F(HallWindow, F1RedrawsInTheOtherModeAndStays) {
    start_event_script({{key_event(SDLK_F1)}, {}, {key_event(SDLK_ESCAPE)}});
    EXPECT_EQ(hall_screen(screen, fullscreen), 1);
    EXPECT_EQ(script_batches_left(), 0u);
    EXPECT_TRUE(fullscreen);
    EXPECT_TRUE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN);
    EXPECT_EQ(pixel_at(SDL_GetVideoSurface(), 305, 0), solid_colour(7 + 2));
}

TEST_F(HallWindow, QuitWithF1InOnePassStillQuits) {
    // The redraw puts off a pending Escape but never a close request.
    EXPECT_EQ(run({{quit_event(), key_event(SDLK_F1)}}), 0);
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE), key_event(SDLK_F1)}, {key_event(SDLK_ESCAPE)}}), 1);
    EXPECT_EQ(script_batches_left(), 0u);
}

TEST_F(HallWindow, ShortOrMissingFileStillDraws) {
    dir.write("data/hall.dat", "abcdefgh 15000.000000 2\n");
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
    dir.remove("data/hall.dat");
    EXPECT_EQ(run({{key_event(SDLK_ESCAPE)}}), 1);
}

TEST_F(HallWindow, MissingPictureOrFontIsFatal) {
    dir.remove("pics/pics.dat");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            hall_screen(screen, fullscreen);
        },
        ::testing::ExitedWithCode(1), "HALL / Erreur de chargement de hall.bmp : ");
    ASSERT_TRUE(write_solid_archive());
    dir.remove("font");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            hall_screen(screen, fullscreen);
        },
        ::testing::ExitedWithCode(1), "Erreur de chargement de la police font/comic.ttf : ");
}
