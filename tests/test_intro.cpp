#include "screens/intro.h"
#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/session_hooks.h"
#include "platform/sound.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <set>
#include <utility>

namespace {
constexpr Uint32 WHITE = 0xFFFFFF;

// Runs the step alone, 10 ms per frame, up to the title phase; collects the dots.
std::set<std::pair<int, int>> run_to_title(IntroState& s) {
    std::set<std::pair<int, int>> dots;
    intro_state_init(s);
    for (Uint32 now = 10; s.phase != 5 && s.frame < 5000; now += 10) {
        intro_step(s, now);
        EXPECT_LT(s.dotCount, INTRO_MAX_DOTS);
        for (int i = 0; i < s.dotCount; ++i)
            dots.insert({s.dots[i].x, s.dots[i].y});
    }
    return dots;
}

Uint32 quitAt = 0;
void quit_when_due(void*) {
    if (quitAt && game_ticks() >= quitAt) {
        push_quit();
        quitAt = 0;
    }
}

struct IntroVideo : ::testing::Test {
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        set_simulated_clock(true, 1000);
    }
    void TearDown() override {
        set_idle_hook(nullptr, nullptr);
        set_simulated_clock(false);
    }
    ScratchGameDir dir;
};
} // namespace

TEST(IntroSteps, PhasesStartInTheirFramesAndTheTrailJoinsUp) {
    IntroState s;
    auto dots = run_to_title(s);
    const long starts[6] = {1, 100, 257, 571, 728, 918};
    for (int p = 0; p < 6; ++p)
        EXPECT_EQ(s.phaseStart[p], starts[p]) << p;
    for (int x = 0; x < 100; ++x)
        EXPECT_TRUE(dots.count({x, 400})) << x;
    EXPECT_TRUE(dots.count({100, 399})); // the first arch starts where the line stops
    EXPECT_TRUE(dots.count({149, 350})); // top of the first arch
    EXPECT_TRUE(dots.count({299, 300})); // top of the big arch
    EXPECT_TRUE(dots.count({449, 400})); // end of the last arch
    for (int x = 450; x <= 639; ++x)
        EXPECT_TRUE(dots.count({x, 400})) << x;
    for (const auto& d : dots) {
        EXPECT_GE(d.second, 300);
        EXPECT_LE(d.second, 401);
    }
}

TEST(IntroSteps, TiltedTitleAndSoundAfterTwoSecondsEndAfterFour) {
    IntroState s;
    run_to_title(s);
    EXPECT_EQ(s.title, INTRO_TITLE_STRAIGHT); // the title phase ran in the hand-over frame
    Uint32 t0 = s.t0;
    const struct {
        Uint32 at;
        IntroTitle title;
        bool sound, done;
    } steps[] = {
        {1999, INTRO_TITLE_STRAIGHT, false, false}, {2000, INTRO_TITLE_KEEP, false, false},
        {2001, INTRO_TITLE_TILTED, true, false},    {3000, INTRO_TITLE_TILTED, false, false},
        {4000, INTRO_TITLE_TILTED, false, false},   {4001, INTRO_TITLE_TILTED, false, true}};
    for (const auto& st : steps) {
        intro_step(s, t0 + st.at);
        EXPECT_EQ(s.title, st.title) << st.at;
        EXPECT_EQ(s.playSound, st.sound) << st.at;
        EXPECT_EQ(s.done, st.done) << st.at;
        EXPECT_EQ(s.dotCount, 0);
    }
    EXPECT_EQ(s.soundsStarted, 1);
}

TEST_F(IntroVideo, EscapeInTheFirstFrameStillDrawsIt) {
    IntroGraphics g;
    IntroState s;
    intro_screen_enter(g);
    intro_state_init(s);
    ASSERT_NE(g.screen, nullptr);
    EXPECT_EQ(g.screen->h, 480);
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(intro_screen_step(s, g));
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(pixel_at(g.screen, 0, 400), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 1, 401), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 2, 400), 0u);
    intro_screen_leave(g);
}

TEST_F(IntroVideo, TrailStaysAndTheTitleIsDrawnThroughTheBuffer) {
    long surfaces = resource_counts().surfaces;
    IntroGraphics g;
    IntroState s;
    intro_screen_enter(g);
    intro_state_init(s);
    ASSERT_NE(g.title, nullptr);
    while (s.phase != 5)
        ASSERT_FALSE(intro_screen_step(s, g));
    const int white[][2] = {{0, 400}, {99, 401}, {150, 350}, {300, 300}, {449, 400}, {639, 400}};
    for (const auto& p : white)
        EXPECT_EQ(pixel_at(g.screen, p[0], p[1]), WHITE) << p[0];
    EXPECT_EQ(pixel_at(g.screen, 150, 420), 0u);
    int titlePixels = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 640; ++x)
            if (pixel_at(g.screen, x, y) == WHITE) {
                ++titlePixels;
                EXPECT_GE(x, 45); // the buffer stands at (45, 0)
            }
    EXPECT_GT(titlePixels, 100);
    intro_screen_leave(g);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
}

TEST_F(IntroVideo, CloseBeforeTwoSecondsOfTitleEndsWithoutSound) {
    long sounds = sound_play_count();
    long fonts = resource_counts().fonts;
    quitAt = 1000 + 9180 + 1500; // the title phase begins after 918 frames of 10 ms
    set_idle_hook(quit_when_due, nullptr);
    intro_screen();
    EXPECT_LT(game_ticks(), 1000u + 9180 + 2000);
    EXPECT_EQ(sound_play_count(), sounds);
    EXPECT_EQ(resource_counts().fonts, fonts);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u); // every library shut down again
}

TEST_F(IntroVideo, RunsToItsEndWithoutSampleOrFont) {
    dir.remove("font");
    dir.remove("sounds");
    intro_screen();
    EXPECT_GT(game_ticks(), 1000u + 9180 + 4000);
}
