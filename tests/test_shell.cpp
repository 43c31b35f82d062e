// The shell's start-up, cycle and shutdown. Start-ups that must fail run in a
// child process (the game ends the process) whose standard output is read back.
#include "input/controls.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/session_hooks.h"
#include "shell/shell.h"
#include "platform/sound.h"
#include "support/support.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

int start_up_then_shut_down() {
    ShellState s;
    shell_start_up(s);
    shell_shutdown(s);
    return 0;
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        set_simulated_clock(true, 0);
        set_joystick_count_override(0);
    }
    void TearDown() override {
        set_joystick_count_override(-1);
        set_simulated_clock(false);
        set_idle_hook(nullptr, nullptr);
    }
    ScratchGameDir dir;
};

TEST_F(ShellTest, StartUpLoadsEverythingAndShutdownReleasesIt) {
    ResourceCounts before = resource_counts();
    ShellState s;
    shell_start_up(s);
    const Assets& a = s.assets;
    const RaceCarry& k = s.carry;
    EXPECT_TRUE(s.fatality);
    EXPECT_FALSE(s.fullscreen);
    ASSERT_NE(s.screen, nullptr);
    EXPECT_EQ(s.screen->w, 640);
    EXPECT_EQ(s.screen->h, 240);
    EXPECT_EQ(s.screen->format->BitsPerPixel, 32);
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    EXPECT_STREQ(title, "Vrillon");

    EXPECT_TRUE(a.ding && a.start && a.fatality);
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        EXPECT_TRUE(CHARACTER_TABLE[c].endSoundIsSong ? a.endSounds[c].song != nullptr
                                                      : a.endSounds[c].sample != nullptr)
            << CHARACTER_TABLE[c].name;
    EXPECT_NE(a.font, nullptr);
    EXPECT_NE(a.indexTab, nullptr);
    ASSERT_NE(a.terrain, nullptr);
    EXPECT_EQ(k.screenRect.x, 0);
    EXPECT_EQ(k.screenRect.w, 640);
    EXPECT_EQ(k.screenRect.h, 240);
    Uint32 grey = SDL_MapRGB(s.screen->format, 125, 125, 125);
    EXPECT_EQ(a.colorKey, grey);
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        ASSERT_NE(a.spriteSet[c], nullptr);
        EXPECT_TRUE(a.spriteSet[c]->flags & SDL_SRCCOLORKEY) << c;
        EXPECT_EQ(a.spriteSet[c]->format->colorkey, grey) << c;
        EXPECT_NE(a.portraits[c], nullptr);
    }
    ASSERT_NE(a.explosion, nullptr);
    EXPECT_TRUE(a.explosion->flags & SDL_SRCCOLORKEY);
    ASSERT_NE(a.chrono, nullptr);
    EXPECT_EQ(a.chronoPos.x, 640 / 2 - a.chrono->w / 2);
    EXPECT_EQ(a.chronoPos.y, 30);
    EXPECT_EQ(k.timerPos.x, 20);
    EXPECT_EQ(k.timerPos.y, 10);
    EXPECT_EQ(a.chronoTxtPos.x, 300);
    EXPECT_EQ(a.chronoTxtPos.y, 30);
    EXPECT_EQ(k.surf_chronoTxt, nullptr);
    EXPECT_EQ(k.board, nullptr);
    EXPECT_NE(k.Timer, nullptr);
    EXPECT_STREQ(k.timerText, "0");
    EXPECT_EQ(k.lastStepTick, 0u);

    ResourceCounts during = resource_counts();
    // A sprite set and a portrait per character, terrain, chrono, explosion, Timer.
    EXPECT_EQ(during.surfaces - before.surfaces, 2 * CHARACTER_COUNT + 4);
    EXPECT_EQ(during.fonts - before.fonts, 1);
    // Ding, start, fatality and the end sounds that are samples.
    int endSamples = 0;
    for (const CharacterRow& row : CHARACTER_TABLE)
        endSamples += !row.endSoundIsSong;
    EXPECT_EQ(during.samples - before.samples, 3 + endSamples);

    shell_shutdown(s);
    ResourceCounts after = resource_counts();
    EXPECT_EQ(after.surfaces, before.surfaces);
    EXPECT_EQ(after.fonts, before.fonts);
    EXPECT_EQ(after.samples, before.samples);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST_F(ShellTest, MissingFatalitySoundEndsWithoutLineEndAfterTheEndSounds) {
    dir.remove("sounds/fatality.mp3");
    ChildRun r = run_child(start_up_then_shut_down);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    // The traces before it end their lines; the message itself does not.
    EXPECT_TRUE(ends_with(r.out, "\nErreur lors du chargement de fatality.mp3")) << r.out;
    EXPECT_EQ(r.out.find("Erreur lors du chargement de sonic_end"), std::string::npos);
}

TEST_F(ShellTest, EachMissingSoundHasItsOwnMessage) {
    struct Case {
        const char* file;
        const char* tail;
    };
    const Case cases[] = {
        {"sounds/ding.wav", "Erreur lors du chargement de ding.wave"},
        {"sounds/start.wav", "Erreur lors du chargement de start.wav"},
        {"sounds/mario_end.mid", "Erreur lors du chargement de mario_end.mid\n"},
        {"sounds/sonic_end.wav", "Erreur lors du chargement de sonic_end.wav\n"},
        {"sounds/road_end.mp3", "Erreur lors du chargement de road_end.mp3\n"},
        {"sounds/shrek_end.wav", "Erreur lors du chargement de shrek_end.wav\n"},
    };
    for (const Case& c : cases) {
        std::string saved = dir.read(c.file);
        dir.remove(c.file);
        ChildRun r = run_child(start_up_then_shut_down);
        EXPECT_TRUE(r.exited && r.status == 1) << c.file;
        EXPECT_TRUE(ends_with(r.out, std::string("\n") + c.tail)) << c.file << ": " << r.out;
        dir.write(c.file, saved);
    }
    // A damaged file is refused like a missing one.
    dir.write("sounds/road_end.mp3", "this is not an mp3 file\n");
    ChildRun r = run_child(start_up_then_shut_down);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(ends_with(r.out, "Erreur lors du chargement de road_end.mp3\n")) << r.out;
}

TEST_F(ShellTest, MissingFontIsFatalWithItsName) {
    dir.remove("font");
    ChildRun r = run_child(start_up_then_shut_down);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    size_t at = r.out.find("Erreur de chargement de la police font/comic.ttf : ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_TRUE(ends_with(r.out, "\n")) << r.out;
    // The library's own reason follows the name.
    EXPECT_GT(r.out.size(), at + strlen("Erreur de chargement de la police font/comic.ttf : \n"));
}

TEST_F(ShellTest, MissingOrDamagedIconIsNotAnError) {
    dir.remove("pics/sonic.bmp");
    ChildRun r = run_child(start_up_then_shut_down);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0) << r.out;
    dir.write("pics/sonic.bmp", "BM but not a picture");
    r = run_child(start_up_then_shut_down);
    EXPECT_EQ(r.status, 0) << r.out;
}

TEST_F(ShellTest, MissingArchiveStopsAtTheTerrain) {
    dir.remove("pics/pics.dat");
    ChildRun r = run_child(start_up_then_shut_down);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Erreur de chargement du terrain : "), std::string::npos) << r.out;
    EXPECT_TRUE(ends_with(r.out, "\n"));
}

TEST_F(ShellTest, VideoThatCannotStartIsFatal) {
    setenv("SDL_VIDEODRIVER", "no_such_video_driver", 1);
    ChildRun r = run_child(start_up_then_shut_down);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Erreur d'initialisation de la SDL : "), std::string::npos) << r.out;
    EXPECT_TRUE(ends_with(r.out, "\n"));
}

TEST_F(ShellTest, DefaultKindsFollowTheJoystickCount) {
    struct Case {
        int joysticks;
        int kinds[4];
    };
    const Case cases[] = {
        {0, {INPUT_MOUSE, INPUT_KEYBOARD, INPUT_KEYBOARD, INPUT_KEYBOARD}},
        {1, {INPUT_JOYSTICK, INPUT_MOUSE, INPUT_KEYBOARD, INPUT_KEYBOARD}},
        {2, {INPUT_JOYSTICK, INPUT_JOYSTICK, INPUT_MOUSE, INPUT_KEYBOARD}},
        // More joysticks than rows: every row gets its own; the fifth stays closed.
        {5, {INPUT_JOYSTICK, INPUT_JOYSTICK, INPUT_JOYSTICK, INPUT_JOYSTICK}},
    };
    for (const Case& c : cases) {
        set_joystick_count_override(c.joysticks);
        ShellState s;
        shell_start_up(s);
        EXPECT_EQ(s.joysticks, c.joysticks);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(s.controls[i].kind, c.kinds[i]) << c.joysticks << " joysticks, row " << i;
            if (c.kinds[i] == INPUT_JOYSTICK) {
                EXPECT_EQ(s.controls[i].joystick, i);
            }
        }
        shell_shutdown(s);
    }
}

// Feeds one event each time the game waits or flips with nothing queued: the
// menu waits between passes and the race flips every frame, so each event
// reaches the screen that is running when it is due.
struct Script {
    int next;
};

void play_script(void* user) {
    Script* script = static_cast<Script*>(user);
    SDL_Event ev;
    if (SDL_PeepEvents(&ev, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0) return;
    switch (script->next++) {
    case 0: // menu: fatality off
        push_key(SDLK_F4);
        break;
    case 1: // menu: full screen
        push_key(SDLK_F1);
        break;
    case 2: // menu: one player
        push_key(SDLK_RETURN);
        break;
    case 3: // race: leave it
        push_key(SDLK_ESCAPE);
        break;
    default: // menu again: close the window
        push_quit();
        break;
    }
}

int two_cycles() {
    ResourceCounts before = resource_counts();
    ShellState s;
    shell_start_up(s);
    Script script = {0};
    set_idle_hook(play_script, &script);
    bool again = shell_cycle(s);
    printf("\nfirst: again=%d fatality=%d fullscreen=%d pointDepart=%d\n", again, s.fatality,
           s.fullscreen, s.pointDepart != nullptr);
    // Race state left in the rows is reset before the next menu.
    s.controls[0].nextButton = 2;
    s.controls[3].joystick = 3;
    again = shell_cycle(s);
    printf("second: again=%d nextButton=%d joystick=%d\n", again, s.controls[0].nextButton,
           s.controls[3].joystick);
    shell_shutdown(s);
    set_idle_hook(nullptr, nullptr);
    ResourceCounts after = resource_counts();
    printf("left over: %ld %ld %ld\n", after.surfaces - before.surfaces, after.fonts - before.fonts,
           after.samples - before.samples);
    return 0;
}

TEST_F(ShellTest, RaceLeftWithEscapeBringsTheMenuBackWithTheSameOptions) {
    ChildRun r = run_child(two_cycles);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\nfirst: again=1 fatality=0 fullscreen=1 pointDepart=0\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nsecond: again=0 nextButton=0 joystick=0\n"), std::string::npos)
        << r.out;
    // Everything a race and the shell made has been released.
    EXPECT_TRUE(ends_with(r.out, "\nleft over: 0 0 0\n")) << r.out;
}

// A window-close request, pushed whenever the game waits with SDL running:
// the intro and the main menu both end on it.
void push_quit_while_waiting(void*) {
    if (SDL_WasInit(SDL_INIT_VIDEO)) push_quit();
}

int whole_game_closed_from_the_menu() {
    set_idle_hook(push_quit_while_waiting, nullptr);
    return game_main();
}

TEST_F(ShellTest, QuitFromTheMenuShutsDownWithStatusZero) {
    ChildRun r = run_child(whole_game_closed_from_the_menu);
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("long =4 octets\n"), std::string::npos) << r.out;
}

} // namespace
