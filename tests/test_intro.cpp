#include "screens/intro.h"
#include "screens/screens.h"
#include "shell/platform.h"
#include "shell/sound.h"
#include "support/support.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <vector>

namespace {
constexpr Uint32 WHITE = 0xFFFFFF;

struct Dot {
    int x, y;
};

// Runs the pure step from the first frame, 10 ms per frame, until the title
// phase starts; returns every dot drawn.
std::vector<Dot> run_to_title(IntroState& s, Uint32& now) {
    std::vector<Dot> dots;
    intro_state_init(s);
    now = 0;
    while (s.phase != 5 && s.frame < 5000) {
        now += 10;
        intro_step(s, now);
        EXPECT_LT(s.dotCount, INTRO_MAX_DOTS);
        for (int i = 0; i < s.dotCount; ++i)
            dots.push_back({s.dots[i].x, s.dots[i].y});
    }
    return dots;
}

bool has_dot(const std::vector<Dot>& dots, int x, int y) {
    for (const Dot& d : dots)
        if (d.x == x && d.y == y) return true;
    return false;
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

Uint32 quitAt = 0;
void quit_when_due(void*) {
    static bool pushed = false;
    if (quitAt == 0) {
        pushed = false;
        return;
    }
    if (!pushed && game_ticks() >= quitAt) {
        push_quit();
        pushed = true;
    }
}
} // namespace

TEST(IntroSteps, PhasesStartInTheirFrames) {
    IntroState s;
    Uint32 now;
    run_to_title(s, now);
    EXPECT_EQ(s.phaseStart[0], 1);
    EXPECT_EQ(s.phaseStart[1], 100);
    EXPECT_EQ(s.phaseStart[2], 257);
    EXPECT_EQ(s.phaseStart[3], 571);
    EXPECT_EQ(s.phaseStart[4], 728);
    EXPECT_EQ(s.phaseStart[5], 918);
    EXPECT_EQ(s.frame, 918);
}

TEST(IntroSteps, TrailJoinsItsArches) {
    IntroState s;
    Uint32 now;
    std::vector<Dot> dots = run_to_title(s, now);
    // The line: x 0 to 99, one dot per frame.
    for (int x = 0; x < 100; ++x)
        EXPECT_TRUE(has_dot(dots, x, 400)) << x;
    EXPECT_EQ(dots[99].x, 99);
    EXPECT_EQ(dots[100].x, 100); // the first arch begins where the line stops
    // Top of the first arch, radius 50 over (150, 400).
    EXPECT_TRUE(has_dot(dots, 149, 350));
    // Both arches of the second phase start at x 200; the big one tops at y 300.
    EXPECT_EQ(s.phaseStart[2], 257);
    int minY = 1000;
    for (const Dot& d : dots)
        minY = d.y < minY ? d.y : minY;
    EXPECT_EQ(minY, 300);
    // The last arch ends at (449, 400), then the run-out reaches the edge.
    EXPECT_TRUE(has_dot(dots, 449, 400));
    for (int x = 450; x <= 639; ++x)
        EXPECT_TRUE(has_dot(dots, x, 400)) << x;
    for (const Dot& d : dots) {
        EXPECT_GE(d.x, 0);
        EXPECT_LE(d.x, 640);
        EXPECT_GE(d.y, 300);
        EXPECT_LE(d.y, 401);
    }
}

TEST(IntroSteps, TitleThenTiltedTitleWithOneSound) {
    IntroState s;
    Uint32 now;
    run_to_title(s, now);
    Uint32 t0 = s.t0;
    EXPECT_EQ(t0, now);
    EXPECT_EQ(s.title, INTRO_TITLE_STRAIGHT); // the title phase ran in the hand-over frame
    intro_step(s, t0 + 1999);
    EXPECT_EQ(s.title, INTRO_TITLE_STRAIGHT);
    EXPECT_FALSE(s.playSound);
    intro_step(s, t0 + 2000);
    EXPECT_EQ(s.title, INTRO_TITLE_KEEP); // exactly 2 s: the buffer keeps its contents
    EXPECT_FALSE(s.playSound);
    intro_step(s, t0 + 2001);
    EXPECT_EQ(s.title, INTRO_TITLE_TILTED);
    EXPECT_TRUE(s.playSound);
    intro_step(s, t0 + 3000);
    EXPECT_FALSE(s.playSound);
    EXPECT_FALSE(s.done);
    intro_step(s, t0 + 4000);
    EXPECT_FALSE(s.done);
    intro_step(s, t0 + 4001);
    EXPECT_TRUE(s.done);
    EXPECT_EQ(s.soundsStarted, 1);
    EXPECT_EQ(s.dotCount, 0); // the title phase draws no dot
}

TEST(IntroSteps, NoSoundWhenLeftBeforeTwoSeconds) {
    IntroState s;
    Uint32 now;
    run_to_title(s, now);
    for (Uint32 t = 10; t < 2000; t += 10)
        intro_step(s, s.t0 + t);
    s.done = true; // as a close request does
    EXPECT_EQ(s.soundsStarted, 0);
}

TEST_F(IntroVideo, EscapeInTheFirstFrameStillDrawsIt) {
    IntroGraphics g;
    IntroState s;
    intro_start(g);
    intro_state_init(s);
    ASSERT_NE(g.screen, nullptr);
    EXPECT_EQ(g.screen->w, 640);
    EXPECT_EQ(g.screen->h, 480);
    push_key(SDLK_ESCAPE);
    EXPECT_TRUE(intro_frame(s, g));
    EXPECT_EQ(s.frame, 1);
    EXPECT_EQ(pixel_at(g.screen, 0, 400), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 1, 401), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 2, 400), 0u);
    intro_shutdown(g);
}

TEST_F(IntroVideo, TrailStaysOnTheScreenAndTitleGoesInTheBuffer) {
    long before = resource_counts().surfaces;
    IntroGraphics g;
    IntroState s;
    intro_start(g);
    intro_state_init(s);
    ASSERT_NE(g.tampon, nullptr);
    EXPECT_EQ(g.tampon->w, 595);
    EXPECT_EQ(g.tampon->h, 200);
    while (s.phase != 5)
        ASSERT_FALSE(intro_frame(s, g));
    EXPECT_EQ(pixel_at(g.screen, 0, 400), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 99, 401), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 150, 350), WHITE); // top of the first arch
    EXPECT_EQ(pixel_at(g.screen, 300, 300), WHITE); // top of the big arch
    EXPECT_EQ(pixel_at(g.screen, 449, 400), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 639, 400), WHITE);
    EXPECT_EQ(pixel_at(g.screen, 150, 420), 0u);
    EXPECT_EQ(pixel_at(g.screen, 300, 340), 0u);
    // The straight title is in the buffer, which is drawn at (45, 0).
    ASSERT_NE(g.title, nullptr);
    int white = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 640; ++x)
            if (pixel_at(g.screen, x, y) == WHITE) {
                ++white;
                EXPECT_GE(x, 45);
            }
    EXPECT_GT(white, 100);
    intro_shutdown(g);
    EXPECT_EQ(resource_counts().surfaces, before);
}

TEST_F(IntroVideo, CloseBeforeTwoSecondsOfTitleEndsWithoutSound) {
    long sounds = sound_play_count();
    long surfaces = resource_counts().surfaces;
    long fonts = resource_counts().fonts;
    // The title phase begins 9180 ms after the start (918 frames of 10 ms).
    quitAt = 1000 + 9180 + 1500;
    set_idle_hook(quit_when_due, nullptr);
    intro_screen();
    EXPECT_LT(game_ticks(), 1000u + 9180 + 2000);
    EXPECT_GE(game_ticks(), 1000u + 9180 + 1500);
    EXPECT_EQ(sound_play_count(), sounds);
    EXPECT_EQ(resource_counts().surfaces, surfaces);
    EXPECT_EQ(resource_counts().fonts, fonts);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u); // every library shut down again
    quitAt = 0;
}

TEST_F(IntroVideo, RunsToItsEndAndPlaysTheSampleAtMostOnce) {
    long sounds = sound_play_count();
    quitAt = 0;
    intro_screen();
    EXPECT_GT(game_ticks(), 1000u + 9180 + 4000);
    EXPECT_LE(sound_play_count() - sounds, 1);
}

TEST_F(IntroVideo, RunsOnWithoutItsSampleAndFont) {
    dir.remove("font");
    dir.remove("sounds");
    IntroGraphics g;
    IntroState s;
    intro_start(g);
    intro_state_init(s);
    EXPECT_EQ(g.font, nullptr);
    EXPECT_EQ(g.title, nullptr);
    EXPECT_EQ(g.tilted, nullptr);
    EXPECT_EQ(g.sample, nullptr);
    while (!intro_frame(s, g)) {
    }
    EXPECT_EQ(s.soundsStarted, 1);
    EXPECT_EQ(pixel_at(g.screen, 100, 50), 0u); // nothing drawn in the buffer
    intro_shutdown(g);
}
