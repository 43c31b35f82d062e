// A long headless soak: hundreds of whole menu-and-race cycles generated from a
// seed into one session script and played through the real game on the
// simulated clock. Players of every kind (two joysticks, the mouse, the
// keyboard) hammer at random rates; some start early or stop running and are
// eliminated; some races are abandoned; stray presses of every kind fall in;
// the hall of fame is offered every complete race's times; the menu now and
// then opens the hall of fame or the controls screen. Afterwards the
// record files must be sound and no cycle may hold more resources than the
// one before it.
//
// VRILLON_SOAK_CYCLES and VRILLON_SOAK_SEED change the length and the seed for
// a longer run by hand; VRILLON_SOAK_KEEP=FILE keeps the generated script.
#include "records/records.h"
#include "support/session_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_MS = 100; // simulated time per race frame
constexpr int RETURN_AT = 900;
// The race's first frame comes within two menu passes (50 ms and a flip each)
// of Return, and "GO!" four countdown steps (just over a second each) later:
// hammering starts safely after it.
constexpr int HAMMER_AT = RETURN_AT + 2 * (50 + FRAME_MS) + 4 * (1000 + FRAME_MS) + 200;
constexpr int EARLY_FROM = RETURN_AT + 1500; // well inside the countdown
constexpr int EARLY_TO = RETURN_AT + 3500;
constexpr int HAMMER_FRAMES = 240; // a player pressing in 88% of frames needs about 205
// An entry screen zooms for 37 frames of 20 ms plus a flip, pauses 2 s, then
// reads the name: the next screen's keys must come after this one has ended.
constexpr int ENTRY_SPACING = 37 * (20 + FRAME_MS) + FRAME_MS + 2000 + 2000;
// Row 3, the keyboard player, plays on 'm'; the controls screen now and then
// moves it to 'k' and back.
const char PLAYER_KEYS[2] = {'m', 'k'};

enum Role { STEADY, EARLY, DAWDLER };
enum Ending { COMPLETE, ABANDONED_IN_COUNTDOWN, ABANDONED_RUNNING };

// What the generator planned for one cycle, to judge the finishes by.
struct Plan {
    int players;
    bool fatality;
    Ending ending;
    Role roles[4];
};

struct Script {
    std::string text;
    std::vector<Plan> plans;
};

struct Gen {
    std::mt19937 rng;
    std::ostringstream out;
    int offset = 0;      // added to every time: the cycle's plan moves back after a detour
    int keyboardKey = 0; // which of PLAYER_KEYS row 3 uses now
    explicit Gen(unsigned seed) : rng(seed) {}
    int pick(int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); }
    bool chance(double p) { return double(rng() % 1000000u) < p * 1000000.0; }
    void at(int ms, const std::string& event) {
        out << "at " << ms + offset << " " << event << "\n";
    }
};

// Row r's own press: joystick r alternating buttons 0 and 1, the mouse's left
// button, or the keyboard player's key.
std::string press(Gen& g, int row, int n) {
    switch (row) {
    case 0:
    case 1: {
        // Mostly alternating; now and then the same button twice (counted once).
        int button = g.chance(0.05) ? g.pick(0, 1) : n % 2;
        return "joy " + std::to_string(row) + " " + std::to_string(button);
    }
    case 2:
        return "click";
    default:
        return std::string("key ") + PLAYER_KEYS[g.keyboardKey];
    }
}

// A stray press that is no player's input: another key, another mouse button,
// a button of a joystick that no player uses, or an idle row's own input.
std::string stray(Gen& g, int players) {
    for (;;) {
        switch (g.pick(0, 4)) {
        case 0: {
            static const char letters[] = "abcdefghijlnopqrstuvwxyz0123456789";
            return std::string("key ") + letters[g.pick(0, int(sizeof letters) - 2)];
        }
        case 1:
            return "mouse " + std::to_string(g.pick(2, 5));
        case 2:
            return "joy " + std::to_string(g.pick(0, 3)) + " " + std::to_string(g.pick(2, 9));
        case 3:
            return "joy " + std::to_string(g.pick(2, 3)) + " " + std::to_string(g.pick(0, 1));
        default: {
            // An idle row's input is only stray when its row does not play.
            int row = g.pick(0, 3);
            if (row < players) break;
            return press(g, row, g.pick(0, 1));
        }
        }
    }
}

void name_entries(Gen& g, int escape) {
    // Up to four results may enter; keys for an entry that never comes are
    // dropped when the next cycle starts.
    static const char* const moves[] = {"up", "down", "left", "right"};
    for (int k = 0; k < 4; ++k) {
        int t = escape + 300 + k * ENTRY_SPACING;
        int count = g.pick(0, 8);
        for (int i = 0; i < count; ++i)
            g.at(t + i, std::string("key ") + moves[g.pick(0, 3)]);
        g.at(t + count, "key return");
    }
}

Plan race_cycle(Gen& g, bool& fatality, bool first) {
    Plan p = {};
    g.out << "cycle\n";
    g.offset = 0;
    // The menu: now and then the hall of fame first (its ten rows take a
    // flip each to draw; what comes meanwhile is the hall screen's) or the
    // controls screen, a display switch, the fatality option.
    if (!first && g.chance(0.05)) {
        g.at(100, "key f3");
        g.at(1600, "key escape");
        g.offset = 1700;
    } else if (!first && g.chance(0.04)) {
        // The controls screen (one event per step): the keyboard player's key
        // changes, which the menu saves on leaving.
        g.keyboardKey = 1 - g.keyboardKey;
        g.at(100, "key f2");
        for (int i = 1; i <= 3; ++i)
            g.at(100 + 200 * i, "key down");
        g.at(900, std::string("key ") + PLAYER_KEYS[g.keyboardKey]);
        g.at(1100, "key escape");
        g.offset = 1300;
    }
    if (!first && g.chance(0.03)) g.at(450, "key f1");
    if (!first && g.chance(0.08)) {
        g.at(600, "key f4");
        fatality = !fatality;
    }
    p.players = first ? 4 : (g.chance(0.6) ? 4 : g.pick(1, 3));
    p.fatality = fatality;
    for (int i = 1; i < p.players; ++i)
        g.at(200 * i, "key down"); // one per menu pass
    g.at(RETURN_AT, "key return");

    p.ending = COMPLETE;
    if (!first && g.chance(0.05)) p.ending = ABANDONED_IN_COUNTDOWN;
    if (!first && g.chance(0.1)) p.ending = ABANDONED_RUNNING;

    int hammerFrames[4] = {0, 0, 0, 0};
    double rate[4] = {1, 1, 1, 1};
    int stopAt[4] = {0, 0, 0, 0}, resumeAt[4] = {0, 0, 0, 0};
    for (int r = 0; r < p.players; ++r) {
        p.roles[r] = STEADY;
        if (!first && g.chance(0.12)) p.roles[r] = EARLY;
        if (!first && g.chance(0.12)) p.roles[r] = DAWDLER;
        rate[r] = 0.88 + 0.12 * double(g.pick(0, 100)) / 100.0;
        hammerFrames[r] = HAMMER_FRAMES;
        // A dawdler stops early and comes back too late: the view pushes its
        // runner off the left edge in between.
        stopAt[r] = g.pick(0, 20);
        resumeAt[r] = g.pick(200, 230);
    }

    int escape = HAMMER_AT + HAMMER_FRAMES * FRAME_MS + 500;
    if (p.ending == ABANDONED_IN_COUNTDOWN) escape = g.pick(RETURN_AT + 800, EARLY_TO);
    if (p.ending == ABANDONED_RUNNING)
        escape = HAMMER_AT + g.pick(10, HAMMER_FRAMES - 10) * FRAME_MS + 50;

    // Early presses (a false start when fatality is on) and strays in the countdown.
    for (int r = 0; r < p.players; ++r)
        if (p.roles[r] == EARLY) {
            int t = g.pick(EARLY_FROM, EARLY_TO);
            if (t < escape) g.at(t, press(g, r, 0));
        }
    for (int t = RETURN_AT + 600; t < HAMMER_AT - 200 && t < escape; t += g.pick(200, 900))
        g.at(t, stray(g, p.players));

    // The race: one frame's worth of presses at a time, each player at its rate.
    int sent[4] = {0, 0, 0, 0};
    for (int f = 0; f < HAMMER_FRAMES; ++f) {
        int t = HAMMER_AT + f * FRAME_MS;
        if (t >= escape) break;
        for (int r = 0; r < p.players; ++r) {
            if (f >= hammerFrames[r]) continue;
            if (p.roles[r] == DAWDLER && f >= stopAt[r] && f < resumeAt[r]) continue;
            if (!g.chance(rate[r])) continue;
            g.at(t + r, press(g, r, sent[r]++));
        }
        if (g.chance(0.15)) g.at(t + 5, stray(g, p.players));
        if (g.chance(0.002)) g.at(t + 6, "key f1");
    }
    g.at(escape, "key escape");
    if (p.ending == COMPLETE) name_entries(g, escape);
    return p;
}

Script make_script(unsigned seed, int cycles) {
    Gen g(seed);
    g.out << "resources\nfinishes\njoysticks 2\nframe-time " << FRAME_MS << "\n"
          << "limit " << (cycles + 1) * 90000 << "\n"
          << "at 0 key escape\n";
    Script s;
    bool fatality = true;
    for (int c = 0; c < cycles; ++c)
        s.plans.push_back(race_cycle(g, fatality, c == 0));
    g.out << "cycle\nat 300 quit\n";
    s.text = g.out.str();
    return s;
}

int env_int(const char* name, int fallback) {
    const char* v = getenv(name);
    return v && atoi(v) > 0 ? atoi(v) : fallback;
}

struct HallLine {
    std::string name;
    double time;
    int character;
};

TEST(Soak, FiveHundredCyclesLeaveSoundRecordsAndNoGrowth) {
    const int cycles = env_int("VRILLON_SOAK_CYCLES", 500);
    const unsigned seed = unsigned(env_int("VRILLON_SOAK_SEED", 20240611));
    std::string dir = run_tree_make("vrillon-session");
    ASSERT_FALSE(dir.empty());
    Script script = make_script(seed, cycles);
    write_file(dir + "/soak.txt", script.text);
    // To replay a failure by hand: session_runner SCRIPT in a copy of the run-time tree.
    if (getenv("VRILLON_SOAK_KEEP")) write_file(getenv("VRILLON_SOAK_KEEP"), script.text);
    const std::string hallBefore = read_file(dir + "/data/hall.dat");

    SessionRun run = run_session(dir, "soak.txt");
    const std::string hall = read_file(dir + "/data/hall.dat");
    const std::string scores = read_file(dir + "/data/scores.dat");
    run_tree_remove(dir);

    ASSERT_TRUE(run.exited) << "killed by signal " << run.status;
    ASSERT_FALSE(sanitizer_report(run.err)) << run.err.substr(0, 4000);
    ASSERT_EQ(run.status, 0) << run.err.substr(run.err.size() > 2000 ? run.err.size() - 2000 : 0);

    // Per cycle: the resource counts at its start and the finishes in its race.
    std::vector<std::string> counts;
    std::vector<std::vector<FinishTrace>> finished;
    std::istringstream lines(run.err);
    for (std::string line; std::getline(lines, line);) {
        int k = 0;
        char rest[128];
        FinishTrace f;
        if (sscanf(line.c_str(), "cycle %d %127[^\n]", &k, rest) == 2) {
            counts.push_back(rest);
            finished.emplace_back();
        } else if (sscanf(line.c_str(), "finish %d %lf", &f.character, &f.time_ms) == 2) {
            ASSERT_FALSE(finished.empty());
            finished.back().push_back(f);
        }
    }
    ASSERT_EQ(counts.size(), size_t(cycles) + 1) << "every cycle and the closing menu";

    // Nothing a cycle makes outlives it: every cycle starts with what the
    // second one started with (the first race leaves its board, last time
    // texts and chronometer text, kept for the shell to free at the end).
    for (size_t k = 2; k < counts.size(); ++k)
        ASSERT_EQ(counts[k], counts[1]) << "cycle " << k + 1;

    // Finishes agree with the plan: only players still in the race finish,
    // and the steady players of complete races all get there.
    float best[SCORE_SLOTS];
    for (float& t : best)
        t = NO_TIME_MS;
    int expected = 0, arrived = 0, eliminations = 0;
    std::string missing; // cycle/row of each steady player who did not finish
    for (int c = 0; c < cycles; ++c) {
        const Plan& p = script.plans[size_t(c)];
        std::vector<int> chars;
        for (const FinishTrace& f : finished[size_t(c)]) {
            ASSERT_TRUE(f.character >= 0 && f.character < p.players) << "cycle " << c + 1;
            ASSERT_GE(f.time_ms, 1000.0);
            ASSERT_LT(f.time_ms, 99999.0);
            chars.push_back(f.character);
            best[f.character] = std::min(best[f.character], float(f.time_ms));
        }
        std::sort(chars.begin(), chars.end());
        ASSERT_TRUE(std::adjacent_find(chars.begin(), chars.end()) == chars.end())
            << "a runner finished twice in cycle " << c + 1;
        if (p.ending == ABANDONED_IN_COUNTDOWN) {
            ASSERT_TRUE(chars.empty()) << "cycle " << c + 1;
        }
        for (int r = 0; r < p.players; ++r) {
            bool in = std::binary_search(chars.begin(), chars.end(), r); // row r runs character r
            bool out = p.fatality && p.roles[r] != STEADY;
            if (out) {
                ++eliminations;
                EXPECT_FALSE(in) << "cycle " << c + 1 << ": an eliminated player finished";
            }
            if (p.ending == COMPLETE && p.roles[r] == STEADY) {
                ++expected;
                arrived += in;
                if (!in) missing += " " + std::to_string(c + 1) + "/" + std::to_string(r);
            }
        }
    }
    EXPECT_GE(arrived, expected * 98 / 100) << "steady players who did not finish:" << missing;
    size_t finishes = 0;
    for (const auto& cycle : finished)
        finishes += cycle.size();
    printf("soak: %d cycles, %zu finishes, %d planned eliminations, seed %u\n", cycles, finishes,
           eliminations, seed);
    EXPECT_GT(eliminations, cycles / 10);

    // The best times: each the smallest time its character ever ran.
    EXPECT_EQ(scores, format_score_slots(best, SCORE_SLOTS));

    // The hall of fame: ten lines of 19 characters, in time order, each an
    // entry of the original file or a time some runner of that character ran.
    EXPECT_NE(hall, hallBefore) << "no one ever entered the hall of fame";
    ASSERT_EQ(hall.size(), 190u) << hall;
    std::vector<HallLine> ranks;
    for (int r = 0; r < 10; ++r) {
        std::string line = hall.substr(size_t(r) * 19, 19);
        ASSERT_EQ(line[18], '\n') << "rank " << r << ": " << line;
        char name[8];
        HallLine h;
        ASSERT_EQ(sscanf(line.c_str(), "%3[a-z] %lf %d", name, &h.time, &h.character), 3) << line;
        h.name = name;
        ASSERT_EQ(h.name.size(), 3u) << line;
        ranks.push_back(h);
        if (r > 0) {
            EXPECT_LE(ranks[size_t(r) - 1].time, h.time) << "rank " << r;
        }
        bool known = hallBefore.find(line) != std::string::npos;
        for (const auto& cycle : finished)
            for (const FinishTrace& f : cycle)
                if (f.character == h.character && float(f.time_ms) == float(h.time)) known = true;
        EXPECT_TRUE(known) << "rank " << r << " holds a time nobody ran: " << line;
    }
}

} // namespace
