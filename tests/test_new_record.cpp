#include "archive/archive.h"
#include "records/records.h"
#include "screens/new_record.h"
#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/session_hooks.h"
#include "support/screen_window.h"
#include "support/support.h"
#include "support/test_sounds.h"

#include <SDL/SDL_ttf.h>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
SDL_Event key_event(SDLKey sym) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.keysym.sym = sym;
    return ev;
}

SDL_Event quit_event() {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_QUIT;
    return ev;
}

HallEntry fresh_entry(float time_ms, int character) {
    HallEntry e;
    memcpy(e.name, "aaa", 4);
    e.time_ms = time_ms;
    e.character = character;
    return e;
}

const char* const HALL_TEXT = "ace 30000.000000 0\n"
                              "bob 31000.000000 1\n"
                              "cid 32000.000000 2\n"
                              "dan 33000.000000 3\n"
                              "eve 34000.000000 0\n"
                              "fox 35000.000000 1\n"
                              "gus 36000.000000 2\n"
                              "hal 37000.000000 3\n"
                              "ivy 38000.000000 0\n"
                              "jay 39000.000000 1\n";

std::string hall_line(const std::string& text, int rank) {
    size_t at = 0;
    for (int i = 0; i < rank; ++i)
        at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
}

void send(NameEntry& ne, const std::vector<SDLKey>& keys) {
    for (SDLKey k : keys)
        name_entry_event(ne, key_event(k));
}
} // namespace

TEST(NewRecord, ZoomInTakes37FramesWithTheSinglePrecisionAngles) {
    float zooms[ZOOM_FRAMES_MAX];
    int angles[ZOOM_FRAMES_MAX];
    int frames = zoom_in_schedule(zooms, angles, ZOOM_FRAMES_MAX);
    ASSERT_EQ(frames, 37);
    EXPECT_FLOAT_EQ(zooms[0], 0.1f);
    EXPECT_NEAR(zooms[36], 3.7f, 0.01f);
    std::vector<int> expected;
    for (int a = 0; a <= 220; a += 10)
        expected.push_back(a);
    for (int a = 229; a <= 359; a += 10)
        expected.push_back(a);
    ASSERT_EQ(expected.size(), 37u);
    EXPECT_EQ(std::vector<int>(angles, angles + 37), expected);
}

TEST(NewRecord, RankLineCountsFromOne) {
    char text[40];
    rank_line_text(text, sizeof text, 0);
    EXPECT_STREQ(text, "nouveau classement : 1");
    rank_line_text(text, sizeof text, 9);
    EXPECT_STREQ(text, "nouveau classement : 10");
}

TEST(NewRecord, LettersStayBetweenAAndZAndTheCursorBetweenOneAndThree) {
    ScratchGameDir dir(false, true);
    HallEntry e = fresh_entry(35000, 1);
    NameEntry ne;
    name_entry_begin(ne, &e, 3, 0);
    send(ne, std::vector<SDLKey>(30, SDLK_UP));
    EXPECT_STREQ(e.name, "zaa");
    send(ne, {SDLK_DOWN});
    EXPECT_STREQ(e.name, "yaa");
    send(ne, {SDLK_LEFT});
    EXPECT_EQ(ne.cursor, 1);
    send(ne, {SDLK_RIGHT, SDLK_RIGHT, SDLK_RIGHT});
    EXPECT_EQ(ne.cursor, 3);
    send(ne, {SDLK_DOWN});
    EXPECT_STREQ(e.name, "yaa");
    // Left picks up the letter already typed there.
    send(ne, {SDLK_LEFT, SDLK_LEFT, SDLK_DOWN});
    EXPECT_STREQ(e.name, "xaa");
    send(ne, {SDLK_a, SDLK_SPACE});
    EXPECT_STREQ(e.name, "xaa");
    EXPECT_FALSE(ne.done);
}

TEST(NewRecord, ReturnAtOnceStoresAaaAtTheRank) {
    ScratchGameDir dir(false, true);
    dir.write("data/hall.dat", HALL_TEXT);
    HallEntry e = fresh_entry(35500, 2);
    NameEntry ne;
    name_entry_begin(ne, &e, 6, 0);
    name_entry_event(ne, key_event(SDLK_RETURN));
    EXPECT_TRUE(ne.done);
    std::string text = dir.read("data/hall.dat");
    EXPECT_EQ(hall_line(text, 6), "aaa 35500.000000 2");
    EXPECT_EQ(hall_line(text, 7), "gus 36000.000000 2");
    EXPECT_EQ(hall_line(text, 9), "ivy 38000.000000 0");
}

TEST(NewRecord, TypedNameIsStoredWhicheverHalfOfTheBlinkReturnFallsIn) {
    const std::vector<SDLKey> keys = {SDLK_UP,    SDLK_RIGHT, SDLK_UP, SDLK_UP,
                                      SDLK_RIGHT, SDLK_UP,    SDLK_UP, SDLK_UP};
    // 700: the letter half; 1100: the '_' half of the next cycle, on the last letter.
    for (Uint32 returnAt : {700u, 1100u}) {
        ScratchGameDir dir(false, true);
        dir.write("data/hall.dat", HALL_TEXT);
        set_simulated_clock(true, 0);
        HallEntry e = fresh_entry(30500, 3);
        NameEntry ne;
        name_entry_begin(ne, &e, 1, 0);
        Uint32 t = 0;
        // One key per frame, the blink running between them.
        for (SDLKey k : keys) {
            name_entry_blink(ne, t);
            send(ne, {k});
            t += 37;
        }
        for (; t <= returnAt; t += 50) {
            set_simulated_clock_value(t);
            name_entry_blink(ne, t);
        }
        EXPECT_EQ(e.name[2], returnAt > 1000 ? '_' : 'd') << returnAt;
        send(ne, {SDLK_RETURN});
        EXPECT_EQ(hall_line(dir.read("data/hall.dat"), 1), "bcd 30500.000000 3") << returnAt;
        set_simulated_clock(false);
    }
}

TEST(NewRecord, BlinkShowsTheUnderscoreForTheFirstHalfOfEachSecond) {
    set_simulated_clock(true, 0);
    HallEntry e = fresh_entry(35000, 0);
    NameEntry ne;
    name_entry_begin(ne, &e, 0, 0);
    name_entry_blink(ne, 10);
    EXPECT_STREQ(e.name, "_aa");
    send(ne, {SDLK_UP}); // shows at once; the underscore waits for the next cycle
    name_entry_blink(ne, 400);
    EXPECT_STREQ(e.name, "baa");
    set_simulated_clock_value(1000);
    name_entry_blink(ne, 1000);
    name_entry_blink(ne, 1010);
    EXPECT_STREQ(e.name, "_aa");
    EXPECT_EQ(ne.letter, 'b');
    set_simulated_clock(false);
}

TEST(NewRecord, TheEntryEndsOnceWithOrWithoutWriting) {
    ScratchGameDir dir(false, true);
    dir.write("data/hall.dat", HALL_TEXT);
    HallEntry e = fresh_entry(30500, 3);
    NameEntry ne;
    name_entry_begin(ne, &e, 0, 0);
    send(ne, {SDLK_UP});
    name_entry_event(ne, quit_event());
    EXPECT_TRUE(ne.done);
    send(ne, {SDLK_RETURN}); // the rest of the queue is not acted on
    EXPECT_EQ(dir.read("data/hall.dat"), HALL_TEXT);

    // Two Returns queued together insert the record once.
    name_entry_begin(ne, &e, 1, 0);
    send(ne, {SDLK_RETURN, SDLK_RETURN});
    std::string text = dir.read("data/hall.dat");
    EXPECT_EQ(hall_line(text, 1), "aaa 30500.000000 3");
    EXPECT_EQ(hall_line(text, 2), "bob 31000.000000 1");
}

// ---- The whole screen, with a window.

namespace {
struct ScreenRun {
    std::vector<SDLKey> keys;
    bool quit = false;
    bool sent = false;
};

// Pushed during the zoom-in: the screen does not poll there, so the events
// wait in the queue for the first entry frame.
void push_when_idle(void* user) {
    ScreenRun* run = static_cast<ScreenRun*>(user);
    if (run->sent) return;
    run->sent = true;
    for (SDLKey k : run->keys)
        push_key(k);
    if (run->quit) push_quit();
}

struct NewRecordScreen : ScreenWindow {
    void SetUp() override {
        ScreenWindow::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
        mkdir("sounds", 0755);
        ASSERT_TRUE(write_test_wav("sounds/applause.wav"));
        indexTab = open_index_tab();
        for (int i = 0; i < CHARACTER_COUNT; ++i)
            portraits[i] = reload_pic(indexTab, CHARACTER_TABLE[i].portrait);
        dir.write("data/hall.dat", HALL_TEXT);
        set_simulated_clock(true, 5000);
    }
    void TearDown() override {
        set_idle_hook(nullptr, nullptr);
        set_simulated_clock(false);
        for (SDL_Surface*& p : portraits)
            surface_free(p);
        free_index_tab(indexTab);
        FSOUND_Close();
        ScreenWindow::TearDown();
    }
    void run(ScreenRun& r, HallEntry& e, int rank) {
        set_idle_hook(push_when_idle, &r);
        new_record_screen(screen, portraits, &e, rank);
        set_idle_hook(nullptr, nullptr);
    }
    uint32_t* indexTab = nullptr;
    SDL_Surface* portraits[CHARACTER_COUNT] = {};
};
} // namespace

TEST_F(NewRecordScreen, KeysPressedDuringTheZoomAreHandledAfterIt) {
    ScreenRun r;
    r.keys = {SDLK_UP, SDLK_RIGHT, SDLK_UP, SDLK_UP,    SDLK_RIGHT,
              SDLK_UP, SDLK_UP,    SDLK_UP, SDLK_RETURN};
    HallEntry e = fresh_entry(31500, 2);
    ResourceCounts before = resource_counts();
    Uint32 start = game_ticks();
    run(r, e, 2);
    EXPECT_EQ(hall_line(dir.read("data/hall.dat"), 2), "bcd 31500.000000 2");
    // 37 zoom frames of 20 ms, the 2000 ms hold, one entry frame.
    EXPECT_EQ(game_ticks() - start, 37u * 20 + 2000 + 20);
    ResourceCounts after = resource_counts();
    EXPECT_EQ(after.surfaces, before.surfaces);
    EXPECT_EQ(after.fonts, before.fonts);
    int delay = 0, interval = 0;
    SDL_GetKeyRepeat(&delay, &interval);
    EXPECT_EQ(delay, 1000);
    EXPECT_EQ(interval, 200);
}

TEST_F(NewRecordScreen, FramesRunOneByOne) {
    RecordScreen r = {};
    r.screen = screen;
    r.portrait = portraits[1];
    Uint32 start = game_ticks();
    zoom_in_frame(r, 2.0f, 0);
    // A 30 x 30 portrait doubled, centred; each frame waits its 20 ms.
    EXPECT_EQ(r.at.x, 320 - 30);
    EXPECT_EQ(r.at.y, 120 - 30);
    EXPECT_EQ(game_ticks() - start, 20u);
    EXPECT_NE(pixel_at(screen, 320, 120), 0u);
    // Without a portrait the frame stays black and the last place stands.
    r.portrait = nullptr;
    zoom_in_frame(r, 3.0f, 90);
    EXPECT_EQ(r.at.x, 320 - 30);
    EXPECT_EQ(pixel_at(screen, 320, 120), 0u);

    HallEntry e = fresh_entry(29500, 1);
    r.font = font_open("font/comic.ttf", 40);
    ASSERT_NE(r.font, nullptr);
    rank_line_text(r.rankLine, sizeof r.rankLine, 0);
    name_entry_begin(r.ne, &e, 0, game_ticks());
    EXPECT_FALSE(new_record_screen_step(r));
    push_key(SDLK_UP);
    push_key(SDLK_RETURN);
    EXPECT_TRUE(new_record_screen_step(r));
    EXPECT_EQ(hall_line(dir.read("data/hall.dat"), 0), "baa 29500.000000 1");
    font_close(r.font);
}

TEST_F(NewRecordScreen, WindowCloseReturnsWithoutWriting) {
    ScreenRun r;
    r.keys = {SDLK_UP};
    r.quit = true;
    HallEntry e = fresh_entry(31500, 0);
    run(r, e, 2);
    EXPECT_EQ(dir.read("data/hall.dat"), HALL_TEXT);
}

// A termination signal ends the screen at once: no zoom, no hold, no write.
TEST_F(NewRecordScreen, TerminationSignalEndsItWithoutWaitingOrWriting) {
    install_termination_handlers();
    raise(SIGTERM);
    HallEntry e = fresh_entry(31500, 0);
    Uint32 start = game_ticks();
    new_record_screen(screen, portraits, &e, 2);
    EXPECT_EQ(game_ticks() - start, 20u); // one entry frame
    EXPECT_EQ(dir.read("data/hall.dat"), HALL_TEXT);
    clear_termination_request();
}

// ---- Fatal failures: the message on standard output, exit status 1.

namespace {
void run_screen_to_stdout(HallEntry e) {
    dup2(2, 1); // the message goes to stdout: let the death test see it
    SDL_Surface* screen = start_test_video();
    TTF_Init();
    FSOUND_Init(44100, 32, 0);
    SDL_Surface* none[4] = {nullptr, nullptr, nullptr, nullptr};
    new_record_screen(screen, none, &e, 0);
}
} // namespace

TEST(NewRecordDeathTest, MissingFontIsFatal) {
    ScratchGameDir dir(false, true);
    EXPECT_EXIT(run_screen_to_stdout(fresh_entry(30000, 0)), ::testing::ExitedWithCode(1),
                "Erreur de chargement de la police font/comic.ttf : ");
}

TEST(NewRecordDeathTest, MissingApplauseIsFatal) {
    ScratchGameDir dir(true, true);
    dir.remove("sounds/applause.wav");
    EXPECT_EXIT(run_screen_to_stdout(fresh_entry(30000, 0)), ::testing::ExitedWithCode(1),
                "Erreur lors du chargement de applause.wav\n");
}
