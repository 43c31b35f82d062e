#include "race/race.h"
#include "race/race_draw.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/session_hooks.h"
#include "shell/shell.h"
#include "support/support.h"
#include "support/test_sounds.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
class RaceTest : public ::testing::Test {
  protected:
    // The race's window, sounds, font and pictures as the game loads them,
    // and the players on their default keys.
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        set_joystick_count_override(0);
        set_simulated_clock(true, 10000);
        shell_start_up(shell);
        screen = shell.screen;
        default_controls(controls);
        drain_events();
        clear_input(in);
        list = effect_list_create();
    }
    void TearDown() override {
        if (!begun)
            effect_list_free(list);
        else if (race.pointDepart)
            effect_list_free(race.pointDepart);
        if (begun) race_release_drawing(race);
        shell_shutdown(shell);
        set_joystick_count_override(-1);
        set_simulated_clock(false);
        set_simulated_frame_time(0);
    }
    SDLKey key(int player) const { return SDLKey(controls[player].key); }
    void begin(int n, bool fatality = true) {
        // A race begun again without being left keeps no drawing of the last one.
        if (begun) race_release_drawing(race);
        for (int i = 0; i < 4; ++i)
            controls[i].active = i < n;
        race_start(race, setup(n, fatality));
        begun = true;
    }
    RaceSetup setup(int n, bool fatality = true) {
        return RaceSetup{screen, &a, &k, controls, &in, list, n, fatality, &fullscreen};
    }
    RaceStep frame(Uint32 advance = 0) {
        advance_simulated_clock(advance);
        return race_frame(race);
    }
    void count_down() {
        for (int i = 0; i < 5; ++i)
            frame(1001);
        ASSERT_TRUE(race.state.started);
    }
    // Scrolling over: the terrain's right end is in view.
    void end_scrolling() { race.state.scrollX = int16_t(a.terrain->w - 640); }
    SDL_Rect& pos(int c) { return race.runners[c].posRect; }
    // Samples started by one frame, and the last of them.
    long frame_sounds(const FSOUND_SAMPLE** last, Uint32 advance = 0) {
        long before = sound_play_count();
        frame(advance);
        *last = sound_last_played();
        return sound_play_count() - before;
    }
    std::vector<float> stored_scores() const {
        std::vector<float> v(SCORE_SLOTS, -1.0f);
        read_score_slots(dir.read("data/scores.dat").c_str(), v.data(), SCORE_SLOTS);
        return v;
    }
    int effects() const {
        int n = 0;
        for (EffectNode* node = race.pointDepart->first; node->effect; node = node->next)
            ++n;
        return n;
    }

    ScratchGameDir dir;
    ShellState shell;
    SDL_Surface* screen = nullptr;
    Assets& a = shell.assets;
    RaceCarry& k = shell.carry;
    PlayerControl (&controls)[PLAYERS] = shell.controls;
    InputSnapshot in;
    EffectList* list = nullptr;
    bool fullscreen = false;
    bool begun = false;
    Race race;
};
} // namespace

TEST_F(RaceTest, CountdownStepsJustOverEachSecondWithDingsThenGo) {
    begin(2);
    const FSOUND_SAMPLE* last = nullptr;
    long before = sound_play_count();
    // lastStepTick 0: the first frame steps at once, showing "5".
    EXPECT_EQ(frame_sounds(&last), 1);
    EXPECT_EQ(last, a.ding);
    EXPECT_STREQ(k.timerText, "5");
    EXPECT_EQ(race.state.countdown, 4);
    EXPECT_EQ(k.lastStepTick, 10000u);
    frame(1000);
    EXPECT_EQ(race.state.countdown, 4);
    EXPECT_STREQ(k.timerText, "4");
    frame(1);
    frame(1001);
    frame(1001);
    EXPECT_EQ(race.state.countdown, 1);
    EXPECT_FALSE(race.state.started);
    EXPECT_EQ(sound_play_count() - before, 4);
    EXPECT_EQ(sound_last_played(), a.ding);
    // Before the start the chronometer is not shown.
    EXPECT_EQ(pixel_at(screen, a.chronoPos.x + 1, a.chronoPos.y + 1),
              pixel_at(a.terrain, a.chronoPos.x + 1, a.chronoPos.y + 1));
    EXPECT_EQ(frame_sounds(&last, 1001), 1);
    EXPECT_EQ(last, a.start);
    EXPECT_TRUE(race.state.started);
    EXPECT_EQ(race.state.countdown, 0);
    EXPECT_STREQ(k.timerText, "GO!");
    EXPECT_EQ(race.state.startTick, game_ticks());
    frame(5);
    EXPECT_EQ(pixel_at(screen, a.chronoPos.x + 1, a.chronoPos.y + 1), pixel_at(a.chrono, 1, 1));
}

TEST_F(RaceTest, QuitRequestsEndTheRaceAfterTheFrame) {
    begin(1);
    push_quit();
    EXPECT_EQ(frame(), RACE_ENDED_BY_QUIT);
    EXPECT_EQ(race.state.countdown, 4); // the frame went on to its end
    EXPECT_EQ(in.quit, 1);

    begin(1);
    clear_input(in);
    push_key(SDLK_F4);
    push_key(SDLK_LALT);
    EXPECT_EQ(frame(), RACE_ENDED_BY_QUIT);
    EXPECT_EQ(in.keys[SDLK_F4] + in.keys[SDLK_LALT], 0);

    clear_input(in);
    push_quit();
    EXPECT_EQ(run_race(setup(1)).outcome, RACE_QUIT);
}

TEST_F(RaceTest, EachPressCountsOnceAndJoysticksMustAlternate) {
    controls[1].kind = INPUT_MOUSE;
    controls[2].kind = INPUT_JOYSTICK;
    set_joystick_count_override(1);
    begin(3);
    count_down();
    push_key(key(0));
    push_key(key(0));
    push_key(key(0));
    push_mouse_button(SDL_BUTTON_LEFT);
    push_key(key(3)); // row 3 is not playing: no move, flag cleared
    frame();
    EXPECT_EQ(pos(0).x, 64);
    EXPECT_EQ(race.runners[0].frameRect.x, 25 * race.runners[0].frameIndex);
    EXPECT_EQ(pos(1).x, 69);
    EXPECT_EQ(pos(3).x, 59);
    EXPECT_EQ(in.keys[key(3)], 0);
    push_mouse_button(SDL_BUTTON_RIGHT);
    frame();
    EXPECT_EQ(pos(1).x, 69);
    for (Uint8 b : {0, 0, 1}) {
        push_joy_button(0, b);
        frame();
    }
    EXPECT_EQ(pos(2).x, 29);
    EXPECT_EQ(controls[2].nextButton, 1);
    set_joystick_count_override(-1);
}

TEST_F(RaceTest, ARunnerAt499PressedGoesTo504AndComesBackWithTheScroll) {
    begin(2);
    count_down();
    pos(0).x = 499;
    push_key(key(0));
    frame();
    EXPECT_EQ(pos(0).x, 499);
    EXPECT_EQ(race.state.scrollX, 5);
    EXPECT_EQ(pos(1).x, 59); // every active runner moves back
    EXPECT_EQ(pos(2).x, 19); // road is nobody's
}

TEST_F(RaceTest, ASoloRaceTakes100PressesPlusOnePerScrollStep) {
    begin(1);
    count_down();
    set_simulated_frame_time(16);
    frame(); // "GO!" is painted from here on
    int blackGo = 0;
    for (int y = 10; y < 10 + k.timerPos.h; ++y)
        for (int x = 20; x < 20 + k.timerPos.w; ++x)
            blackGo += pixel_at(a.terrain, x, y) == 0;
    EXPECT_GT(blackGo, 0);
    int presses = 0;
    while (!race.runners[0].finished && presses < 1000) {
        push_key(key(0));
        frame();
        ++presses;
    }
    EXPECT_EQ(presses, 100 + (a.terrain->w - 640) / 5);
    EXPECT_EQ(pos(0).x, 559);
    EXPECT_EQ(race.state.finishCount, 1);
    float t = race.state.results[0].time_ms;
    EXPECT_EQ(t, float(16 * presses));
    EXPECT_EQ(sound_last_played(), a.endSounds[SONIC].sample);
    EXPECT_EQ(stored_scores()[0], t);
    // The finish mark: portrait at terrain x 410.
    EXPECT_EQ(pixel_at(a.terrain, 411, 1), pixel_at(a.portraits[0], 1, 1));
    // Complete: the chronometer is gone from the next frame on.
    frame();
    EXPECT_NE(pixel_at(screen, a.chronoPos.x + 1, a.chronoPos.y + 1), pixel_at(a.chrono, 1, 1));
}

TEST_F(RaceTest, EveryRunnerFinishesWithItsFrontAt584) {
    begin(4);
    count_down();
    end_scrolling();
    for (int c = 0; c < 4; ++c)
        pos(c).x = Sint16(CHARACTER_TABLE[c].runner.startX + 495);
    frame();
    EXPECT_EQ(race.state.finishCount, 0);
    for (int i = 0; i < PLAYERS; ++i)
        push_key(key(i));
    long songs = music_play_count();
    const FSOUND_SAMPLE* last = nullptr;
    // Only the first finisher gets an end sound.
    EXPECT_EQ(frame_sounds(&last), 1);
    EXPECT_EQ(last, a.endSounds[SONIC].sample);
    EXPECT_EQ(music_play_count(), songs);
    const int finishX[4] = {559, 564, 519, 559};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(pos(c).x, finishX[c]);
        EXPECT_TRUE(race.runners[c].finished);
        EXPECT_EQ(race.state.results[c].character, c);
    }
    EXPECT_EQ(race.state.markX, 640);
}

TEST_F(RaceTest, AMarioFirstFinishPlaysTheSong) {
    begin(2);
    count_down();
    end_scrolling();
    pos(1).x = 564;
    long songs = music_play_count();
    const FSOUND_SAMPLE* last = nullptr;
    EXPECT_EQ(frame_sounds(&last), 0);
    EXPECT_EQ(music_play_count(), songs + 1);
    EXPECT_EQ(race.state.results[0].character, 1);
}

TEST_F(RaceTest, FalseStartsWithFatalityEliminateTheRunnerOnly) {
    begin(2);
    frame();
    push_key(key(0));
    const FSOUND_SAMPLE* last = nullptr;
    EXPECT_EQ(frame_sounds(&last, 10), 1);
    EXPECT_EQ(last, a.fatality);
    EXPECT_FALSE(controls[0].active);
    EXPECT_EQ(race.state.playersLeft, 1);
    ASSERT_EQ(effects(), 1);
    EXPECT_EQ(race.pointDepart->first->effect->dest, &pos(0));
    EXPECT_EQ(pos(0).x, 59);
    // A press that comes with "GO!" is still early.
    for (int i = 0; i < 3; ++i)
        frame(1001);
    push_key(key(1));
    frame(1001);
    EXPECT_TRUE(race.state.started);
    EXPECT_FALSE(controls[1].active);
    EXPECT_EQ(race.state.playersLeft, 0);
    EXPECT_EQ(race.state.finishCount, race.state.playersLeft);
}

TEST_F(RaceTest, WithoutFatalityEarlyPressesCountAsOneStepAfterGo) {
    begin(1, false);
    frame();
    push_key(key(0));
    frame(1001);
    push_key(key(0));
    frame(1001);
    frame(1001);
    frame(1001);
    ASSERT_TRUE(race.state.started);
    EXPECT_TRUE(controls[0].active);
    EXPECT_EQ(pos(0).x, 59);
    frame();
    EXPECT_EQ(pos(0).x, 64);
    frame();
    EXPECT_EQ(pos(0).x, 64);
}

TEST_F(RaceTest, TwoRunnersPushedOffTheLeftEdgeTogether) {
    begin(3);
    count_down();
    pos(0).x = 3;
    pos(1).x = 4;
    pos(2).x = 501;
    const FSOUND_SAMPLE* last = nullptr;
    EXPECT_EQ(frame_sounds(&last), 1);
    EXPECT_EQ(last, a.fatality);
    EXPECT_EQ(pos(0).x, 1);
    EXPECT_EQ(pos(1).x, 1);
    EXPECT_FALSE(controls[0].active || controls[1].active);
    EXPECT_EQ(race.state.playersLeft, 1);
    EXPECT_EQ(effects(), 2);
    // The race can still become complete.
    end_scrolling();
    pos(2).x = 514;
    push_key(key(2));
    frame();
    EXPECT_EQ(race.state.finishCount, 1);
    EXPECT_EQ(race.state.finishCount, race.state.playersLeft);
}

TEST_F(RaceTest, WithoutFatalityARunnerIsClippedAtTheLeftEdgeAndRunsOn) {
    begin(2, false);
    count_down();
    pos(0).x = 3;
    pos(1).x = 501;
    frame();
    EXPECT_EQ(pos(0).x, 0);
    EXPECT_EQ(pos(0).w, 23);
    EXPECT_TRUE(controls[0].active);
    push_key(key(0));
    frame();
    EXPECT_EQ(pos(0).x, 5);
}

TEST_F(RaceTest, BestTimeIsWrittenOnlyWhenStrictlySmaller) {
    const std::string scores = "5000 99999 99999 99999";
    for (Uint32 t : {5000u, 4999u}) {
        dir.write("data/scores.dat", scores);
        begin(1);
        count_down();
        end_scrolling();
        pos(0).x = 554;
        advance_simulated_clock(race.state.startTick + t - game_ticks());
        push_key(key(0));
        frame();
        ASSERT_TRUE(race.runners[0].finished);
        if (t == 5000)
            EXPECT_EQ(dir.read("data/scores.dat"), scores);
        else {
            std::vector<float> want(SCORE_SLOTS, 99999.0f);
            want[0] = 4999.0f;
            EXPECT_EQ(stored_scores(), want);
        }
    }
}

TEST_F(RaceTest, EscapeLeavesWithOrWithoutPlacements) {
    // Not complete: no name entry, the effect list is released.
    std::string hall = dir.read("data/hall.dat");
    begin(2);
    count_down();
    end_scrolling();
    pos(0).x = 559;
    frame();
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(frame(), RACE_LEFT);
    EXPECT_EQ(race.pointDepart, nullptr);
    EXPECT_EQ(race_placements(race).count, 0);
    shell_hall_placements(shell, race_placements(race));
    EXPECT_EQ(dir.read("data/hall.dat"), hall);

    // Complete, with a time too slow for the hall (every line at 1000 ms).
    std::string fast;
    for (int i = 0; i < 10; ++i)
        fast += "abc 01000.000000 0\n";
    dir.write("data/hall.dat", fast);
    list = effect_list_create();
    begin(1);
    count_down();
    end_scrolling();
    pos(0).x = 559;
    frame(3000);
    ASSERT_EQ(race.state.finishCount, race.state.playersLeft);
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(frame(), RACE_LEFT);
    EXPECT_EQ(race_placements(race).count, 1);
    shell_hall_placements(shell, race_placements(race));
    EXPECT_EQ(dir.read("data/hall.dat"), fast);
}

namespace {
void push_return(void*) {
    push_key(SDLK_RETURN);
}
} // namespace

TEST_F(RaceTest, EscapeAfterACompleteRaceOffersEachResultInFinishingOrder) {
    ASSERT_TRUE(write_test_wav("sounds/applause.wav"));
    std::string hall = "ace 30000.000000 0\n";
    for (int i = 0; i < 9; ++i)
        hall += "zzz 99999.000000 1\n";
    dir.write("data/hall.dat", hall);
    begin(2);
    count_down();
    end_scrolling();
    pos(1).x = 564;
    frame(35000);
    pos(0).x = 559;
    frame(1000);
    ASSERT_EQ(race.state.finishCount, 2);
    push_key(SDLK_ESCAPE);
    EXPECT_EQ(frame(), RACE_LEFT);
    // The race hands its results back; the shell runs the name entries.
    HallPlacements placements = race_placements(race);
    ASSERT_EQ(placements.count, 2);
    EXPECT_EQ(placements.results[0].character, 1);
    EXPECT_EQ(placements.results[1].character, 0);
    set_idle_hook(push_return, nullptr);
    shell_hall_placements(shell, placements);
    set_idle_hook(nullptr, nullptr);
    std::string after = dir.read("data/hall.dat");
    EXPECT_EQ(after.substr(0, 57), "ace 30000.000000 0\naaa 35000.000000 1\naaa 36000.000000 0\n");
}

TEST_F(RaceTest, DisplaySwitchRedrawsTheBoard) {
    begin(1);
    frame();
    push_key(SDLK_F1);
    frame();
    EXPECT_TRUE(fullscreen);
    EXPECT_EQ(in.keys[SDLK_F1], 0);
    EXPECT_EQ(pixel_at(race.screen, 5, 235), pixel_at(k.board, 5, 55));
}

TEST_F(RaceTest, OnlyPlayedCharactersAreDrawnAndFramesCarryOver) {
    begin(1);
    count_down();
    for (int i = 0; i < 3; ++i) {
        push_key(key(0));
        frame();
    }
    const int lane = CHARACTER_TABLE[SONIC].runner.y;
    Uint32 sprite = pixel_at(a.spriteSet[0], 75 + 12, 13);
    EXPECT_EQ(pixel_at(screen, 74 + 12, lane + 13),
              sprite == 0x7D7D7D ? pixel_at(a.terrain, 74 + 12, lane + 13) : sprite);
    // Shrek's lane, where nobody runs, shows the track.
    const int empty = CHARACTER_TABLE[SHREK].runner.y + 1;
    EXPECT_EQ(pixel_at(screen, 60, empty), pixel_at(a.terrain, 60, empty));
    begin(1);
    EXPECT_EQ(race.runners[0].frameIndex, 3);
    EXPECT_EQ(race.runners[0].frameRect.x, 75);
}

TEST_F(RaceTest, RowsWithoutACharacterHaveNoRunner) {
    controls[0].character = 9;
    controls[1].character = -3;
    begin(4);
    push_key(key(0));
    push_key(key(1));
    frame();
    EXPECT_EQ(race.state.playersLeft, 2);
    EXPECT_EQ(effects(), 0);
    for (int i = 0; i < 4; ++i)
        frame(1001);
    for (int i = 0; i < PLAYERS; ++i)
        push_key(key(i));
    frame();
    EXPECT_EQ(pos(0).x, 59);
    EXPECT_EQ(pos(2).x, 24);
}

TEST(HallPosition, TiesGoAfterExceptWithTheBest) {
    ScratchGameDir dir;
    std::string hall = "ace 30000.000000 0\n";
    for (int i = 0; i < 9; ++i)
        hall += "zzz 99999.000000 1\n";
    dir.write("data/hall.dat", hall);
    EXPECT_EQ(hall_position(35000.0f), 1);
    EXPECT_EQ(hall_position(30000.0f), 0);
    EXPECT_EQ(hall_position(99999.0f), -1);
    hall.clear();
    for (int i = 0; i < 10; ++i) {
        char line[32];
        snprintf(line, sizeof line, "abc %f 0\n", 20000.0f + 4000.0f * i);
        hall += line;
    }
    dir.write("data/hall.dat", hall);
    EXPECT_EQ(hall_position(40000.0f), 6);
}
