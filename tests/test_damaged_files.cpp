// Every run-time file damaged in turn: missing, empty, cut in half, replaced by
// garbage and, for the record files, holding huge numbers or very long lines.
// A whole scripted session (intro, hall of fame, a one-player race, a name
// entry, quit) runs in a fresh copy of the run-time tree for each case. It must
// end the documented way (the exact failure message and status 1, or a normal
// end), never by a signal or a sanitizer report, and the good record files must
// be as they were or as the session legitimately wrote them.
#include "records/records.h"
#include "support/session_run.h"
#include "tables/characters.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

enum Damage {
    MISSING,
    EMPTY,
    HALVED,
    GARBAGE,
    HUGE_NUMBERS,
    LONG_LINES,
    NOT_NUMBERS,
    LAST_PICTURE_CUT
};
const char* const DAMAGE_NAMES[] = {"missing", "empty",     "halved", "garbage",
                                    "huge",    "long_line", "nan",    "last_picture_cut"};

// How far the session gets.
enum Reach {
    STOPS_BEFORE_MENU_ENDS, // start-up or the first menu fails: nothing is written
    STOPS_AFTER_RACE,       // the race is run (best time written, controls saved)
    WHOLE_SESSION,          // through to the quit, status 0
};

// What the damaged file itself holds afterwards.
enum After {
    UNTOUCHED,        // byte for byte as damaged (or still missing)
    VALID_CONTROLS,   // six lines of four in-range numbers, characters all different
    BEST_TIME_SLOT_0, // the damaged text's slots with the finish time in slot 0
    ENTRY_ON_TOP,     // the name entry on line 0 of ten whole lines
};

struct Case {
    const char* file;
    Damage damage;
    Reach reach;
    const char* message; // the failure message, or null for a normal end
    bool errorText;      // the message is followed by a library error text and "\n"
    After after;
    const char* slotsAfter; // BEST_TIME_SLOT_0: slots 1 to 3 of a four-time file as written
                            // back (null: of the damaged template, slots_kept);
                            // ENTRY_ON_TOP: the old first line, now second
};

const char* const SCRIPT = R"(# intro, hall of fame, a one-player race, the name "baa", quit
finishes
frame-time 50
limit 200000
at 0 key escape
cycle
at 100 key f3
# the hall screen draws its ten rows with a flip each before it reads a key
at 1000 key escape
at 1300 key return
)";

std::string session_script() {
    std::string s = SCRIPT;
    // Row 0 is the mouse player (no joystick). The race's first frame comes
    // within two menu passes of Return and "GO!" four steps of 1050 ms later:
    // 200 clicks, one a frame, from just after it.
    for (int i = 0; i < 200; ++i)
        s += "at " + std::to_string(6000 + 50 * i) + " click\n";
    s += "after 200 key escape\n" // every runner in: the hall of fame is offered
         "after 300 key up\n"     // first letter b
         "after 50 key return\n"  // stores "baa"
         "cycle\n"                // back in the menu (the entry's keys are dropped
         "at 200 quit\n";         // when there was none)
    return s;
}

std::string garbage(size_t size) {
    std::mt19937 gen(7);
    std::string s(size, '\0');
    for (char& c : s)
        c = char(gen() & 0xFF);
    return s;
}

std::string huge_numbers(const std::string& file) {
    if (file == "data/control.dat") {
        std::string s;
        for (int i = 0; i < 6; ++i)
            s += "99999999999999999999 -99999999999999999999 2147483648 -2147483649\n";
        return s;
    }
    if (file == "data/scores.dat")
        return "1e39 340282346638528859811704183484516925440.000000 "
               "99999999999999999999999999999999999999999999 -1e39";
    std::string s; // hall.dat: times and characters far out of range
    for (int r = 0; r < 10; ++r)
        s += "ace 1e30 " + std::to_string(99999999999LL + r) + "\n";
    return s;
}

// Numbers that are not numbers, or infinite, where the times are.
std::string not_numbers(const std::string& file) {
    if (file == "data/scores.dat") return "nan inf -nan -inf";
    std::string s;
    for (int r = 0; r < 10; ++r)
        s += std::string(3, char('k' + r)) + (r % 2 ? " nan " : " inf ") + std::to_string(r % 4) +
             "\n";
    return s;
}

std::string long_lines(const std::string& file) {
    if (file == "data/control.dat") {
        std::string s = "0 1 2 3 ";
        for (int i = 0; i < 60000; ++i)
            s += "7 ";
        return s + "\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 0 0 0\n97 122 112 109\n";
    }
    if (file == "data/scores.dat")
        return "99999." + std::string(100000, '0') + " 99999.000000 99999.000000 99999.000000";
    std::string s = std::string(100000, 'a') + " 90000.000000 0\n"; // hall.dat: a huge name
    for (int r = 1; r < 10; ++r)
        s += "bob " + std::to_string(90000 + 1000 * r) + ".000000 1\n";
    return s;
}

void apply_damage(const std::string& path, const std::string& file, Damage d) {
    std::string text = read_file(path);
    switch (d) {
    case MISSING:
        remove(path.c_str());
        return;
    case EMPTY:
        text.clear();
        break;
    case HALVED:
        text.resize(text.size() / 2);
        break;
    case GARBAGE:
        text = garbage(4096);
        break;
    case HUGE_NUMBERS:
        text = huge_numbers(file);
        break;
    case LONG_LINES:
        text = long_lines(file);
        break;
    case NOT_NUMBERS:
        text = not_numbers(file);
        break;
    case LAST_PICTURE_CUT: // inside the last picture's pixels
        text.resize(text.size() - 100);
        break;
    }
    write_file(path, text);
}

const char* const RECORDS[] = {"data/control.dat", "data/scores.dat", "data/hall.dat"};

// The template control file as the menu saves it: with no joystick, row 0 is the mouse.
std::string saved_controls() {
    return "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n1 0 0 0\n97 122 112 109\n";
}

std::string time_text(double t) {
    char buf[64];
    snprintf(buf, sizeof buf, "%f", t);
    return buf;
}

std::string with_best_time(const std::string& before, const FinishTrace& f) {
    // The template holds one time per character; the finisher's slot gets the new one.
    std::vector<std::string> slots;
    size_t at = 0;
    while (at < before.size()) {
        size_t sp = before.find(' ', at);
        if (sp == std::string::npos) sp = before.size();
        slots.push_back(before.substr(at, sp - at));
        at = sp + 1;
    }
    slots.at(size_t(f.character)) = time_text(f.time_ms);
    std::string after;
    for (const std::string& slot : slots)
        after += (after.empty() ? "" : " ") + slot;
    return after;
}

// The slots of the characters a four-time file does not reach, as rw_score
// writes them back: they start at the slowest time.
std::string later_slots() {
    std::string s;
    for (int c = FIRST_SCORE_SLOTS; c < SCORE_SLOTS; ++c)
        s += " " + time_text(NO_TIME_MS);
    return s;
}

// Slots 1 on of a best-times line cut short, as written back after a finish
// in slot 0: the times still there (the last perhaps cut itself), then 0.0
// for those of the first four that are lost, the slowest time for a later
// character's.
std::string slots_kept(const std::string& text) {
    std::istringstream in(text);
    std::vector<double> times;
    for (double t; in >> t;)
        times.push_back(t);
    std::string s;
    for (size_t c = 1; c < size_t(SCORE_SLOTS); ++c)
        s += " " + time_text(c < times.size()                ? times[c]
                             : c < size_t(FIRST_SCORE_SLOTS) ? 0.0
                                                             : double(NO_TIME_MS));
    return s;
}

std::string hall_line(const FinishTrace& f) {
    char buf[64];
    snprintf(buf, sizeof buf, f.time_ms >= 10000.0 ? "baa %f %d" : "baa 0%f %d", f.time_ms,
             f.character);
    return buf;
}

std::string with_entry_on_top(const std::string& before, const FinishTrace& f) {
    // A sound file: every line moves down one, the last is lost.
    return hall_line(f) + "\n" + before.substr(0, before.size() - 19);
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    for (size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(text.substr(at, nl - at));
    if (at < text.size()) lines.push_back(text.substr(at));
    return lines;
}

void expect_valid_controls(const std::string& text) {
    std::vector<std::string> lines = lines_of(text);
    ASSERT_GE(lines.size(), 6u);
    int v[6][4];
    for (int l = 0; l < 6; ++l) {
        char end = 0;
        ASSERT_EQ(
            sscanf(lines[l].c_str(), "%d %d %d %d%c", &v[l][0], &v[l][1], &v[l][2], &v[l][3], &end),
            4)
            << "line " << l + 1 << ": " << lines[l];
    }
    bool seen[CHARACTER_COUNT] = {};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(character_in_range(v[0][i])) << "character " << v[0][i];
        EXPECT_FALSE(seen[v[0][i]]) << "character " << v[0][i] << " twice";
        seen[v[0][i]] = true;
        EXPECT_GE(v[1][i], 0) << "joystick";
        EXPECT_TRUE(v[2][i] >= 0 && v[2][i] <= 9) << "button1 " << v[2][i];
        EXPECT_TRUE(v[3][i] >= 0 && v[3][i] <= 9) << "button2 " << v[3][i];
        EXPECT_TRUE(v[4][i] >= 0 && v[4][i] <= 2) << "kind " << v[4][i];
        EXPECT_TRUE(v[5][i] >= 0 && v[5][i] <= 322) << "key " << v[5][i];
    }
}

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.file << " " << DAMAGE_NAMES[c.damage];
}

std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    std::string n = info.param.file;
    n = n.substr(n.find('/') + 1);
    for (char& c : n)
        if (c == '.') c = '_';
    return n + "_" + DAMAGE_NAMES[info.param.damage];
}

class DamagedFile : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override { dir = run_tree_make("vrillon-session"); }
    void TearDown() override { run_tree_remove(dir); }
    std::string dir;
};

TEST_P(DamagedFile, EndsTheDocumentedWay) {
    const Case& c = GetParam();
    ASSERT_FALSE(dir.empty());
    write_file(dir + "/session.txt", session_script());
    std::string records[3];
    for (int i = 0; i < 3; ++i)
        records[i] = read_file(dir + "/" + RECORDS[i]);
    const std::string path = dir + "/" + c.file;
    apply_damage(path, c.file, c.damage);
    const bool existed = file_exists(path);
    const std::string damaged = read_file(path);

    SessionRun run = run_session(dir, "session.txt");

    ASSERT_TRUE(run.exited) << "killed by signal " << run.status << "\n" << run.err;
    EXPECT_FALSE(sanitizer_report(run.err)) << run.err;
    if (c.message) {
        EXPECT_EQ(run.status, 1);
        std::string tail = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
        if (c.errorText) {
            EXPECT_EQ(tail.compare(0, strlen(c.message), c.message), 0) << tail;
            EXPECT_EQ(tail.back(), '\n') << tail;
        } else {
            EXPECT_EQ(tail, c.message);
        }
    } else {
        EXPECT_EQ(run.status, 0) << run.out.substr(run.out.size() > 300 ? run.out.size() - 300 : 0);
        EXPECT_NE(run.err.find("session exit 0"), std::string::npos) << run.err;
    }

    std::vector<FinishTrace> fin = finishes_in(run.err);
    ASSERT_EQ(fin.size(), c.reach == STOPS_BEFORE_MENU_ENDS ? 0u : 1u) << run.err;
    const bool raced = c.reach != STOPS_BEFORE_MENU_ENDS;

    // The record files that were not damaged.
    for (int i = 0; i < 3; ++i) {
        if (c.file == std::string(RECORDS[i])) continue;
        std::string want = records[i];
        if (raced && i == 0) want = saved_controls();
        if (raced && i == 1) want = with_best_time(records[i], fin[0]);
        if (c.reach == WHOLE_SESSION && i == 2) want = with_entry_on_top(records[i], fin[0]);
        EXPECT_EQ(read_file(dir + "/" + RECORDS[i]), want) << RECORDS[i];
    }

    // The damaged file.
    if (!existed) {
        EXPECT_FALSE(file_exists(path)) << "made anew";
        return;
    }
    const std::string now = read_file(path);
    switch (c.after) {
    case UNTOUCHED:
        EXPECT_EQ(now, damaged);
        break;
    case VALID_CONTROLS:
        expect_valid_controls(now);
        // The whole file is written anew: no old tail stays behind the six lines.
        EXPECT_EQ(lines_of(now).size(), 6u);
        EXPECT_EQ(now.back(), '\n');
        break;
    case BEST_TIME_SLOT_0:
        ASSERT_EQ(fin[0].character, 0);
        EXPECT_EQ(now, time_text(fin[0].time_ms) +
                           (c.slotsAfter ? c.slotsAfter + later_slots() : slots_kept(damaged)));
        break;
    case ENTRY_ON_TOP: {
        // Ten whole lines however damaged the old ones were: the entry on top,
        // the old first line below it in the standard form.
        std::vector<std::string> is = lines_of(now);
        ASSERT_EQ(is.size(), 10u);
        ASSERT_EQ(now.size(), 190u);
        for (const std::string& line : is)
            EXPECT_EQ(line.size(), 18u) << line;
        EXPECT_EQ(is[0], hall_line(fin[0]));
        EXPECT_EQ(is[1], c.slotsAfter);
        break;
    }
    }
}

std::vector<Case> all_cases() {
    std::vector<Case> cases;
    const Damage four[] = {MISSING, EMPTY, HALVED, GARBAGE};
    auto fails = [&](const char* file, Damage d, Reach r, const char* message, bool errorText) {
        cases.push_back({file, d, r, message, errorText, UNTOUCHED, nullptr});
    };
    auto runs = [&](const char* file, Damage d, After after = UNTOUCHED,
                    const char* slots = nullptr) {
        cases.push_back({file, d, WHOLE_SESSION, nullptr, false, after, slots});
    };

    // The picture archive: whatever cannot give the terrain ends the start-up.
    fails("pics/pics.dat", MISSING, STOPS_BEFORE_MENU_ENDS,
          "Erreur de chargement du terrain : ouverture de pics/pics.dat impossible\n", false);
    for (Damage d : {EMPTY, HALVED, GARBAGE})
        fails("pics/pics.dat", d, STOPS_BEFORE_MENU_ENDS,
              "Erreur de chargement du terrain : en-tete d'image 3 illisible\n", false);
    // A short pixel run leaves the rest of that picture black.
    runs("pics/pics.dat", LAST_PICTURE_CUT);

    // The control file: only a missing one is fatal; the rest is brought into range.
    fails("data/control.dat", MISSING, STOPS_BEFORE_MENU_ENDS,
          "Erreur de chargement du fichier de control", false);
    for (Damage d : {EMPTY, HALVED, GARBAGE, HUGE_NUMBERS, LONG_LINES})
        runs("data/control.dat", d, VALID_CONTROLS);

    // The best-times file: unreadable slots read as 0.0, which no time improves.
    fails("data/scores.dat", MISSING, STOPS_BEFORE_MENU_ENDS,
          "Erreur de chargement du fichier de scores", false);
    runs("data/scores.dat", EMPTY);
    runs("data/scores.dat", HALVED, BEST_TIME_SLOT_0); // what the half still holds
    runs("data/scores.dat", GARBAGE);
    runs("data/scores.dat", HUGE_NUMBERS, BEST_TIME_SLOT_0,
         " 340282346638528859811704183484516925440.000000 99999.000000 99999.000000");
    runs("data/scores.dat", LONG_LINES, BEST_TIME_SLOT_0,
         " 99999.000000 99999.000000 99999.000000");
    // Not a number, or infinite: no time, which the finish beats.
    runs("data/scores.dat", NOT_NUMBERS, BEST_TIME_SLOT_0,
         " 99999.000000 99999.000000 99999.000000");

    // The hall of fame: a tenth line that cannot be read takes no one; an
    // entry rewrites a damaged file as ten whole lines.
    for (Damage d : four)
        runs("data/hall.dat", d);
    runs("data/hall.dat", HUGE_NUMBERS, ENTRY_ON_TOP, "ace 99999.000000 0");
    runs("data/hall.dat", LONG_LINES, ENTRY_ON_TOP, "aaa 90000.000000 0");
    runs("data/hall.dat", NOT_NUMBERS, ENTRY_ON_TOP, "kkk 99999.000000 0");

    // The shell's sounds: a sample or song the mixer refuses ends the start-up.
    struct Sound {
        const char* file;
        const char* message;
    };
    const Sound wavs[] = {
        {"sounds/ding.wav", "Erreur lors du chargement de ding.wave"},
        {"sounds/start.wav", "Erreur lors du chargement de start.wav"},
        {"sounds/sonic_end.wav", "Erreur lors du chargement de sonic_end.wav\n"},
        {"sounds/shrek_end.wav", "Erreur lors du chargement de shrek_end.wav\n"},
    };
    for (const Sound& s : wavs)
        for (Damage d : four) // a cut WAV is refused whole
            fails(s.file, d, STOPS_BEFORE_MENU_ENDS, s.message, false);
    for (Damage d : four) // a MIDI song must hold at least a whole first track
        fails("sounds/mario_end.mid", d, STOPS_BEFORE_MENU_ENDS,
              "Erreur lors du chargement de mario_end.mid\n", false);
    const Sound mp3s[] = {
        {"sounds/road_end.mp3", "Erreur lors du chargement de road_end.mp3\n"},
        {"sounds/fatality.mp3", "Erreur lors du chargement de fatality.mp3"},
    };
    for (const Sound& s : mp3s) {
        for (Damage d : {MISSING, EMPTY, GARBAGE})
            fails(s.file, d, STOPS_BEFORE_MENU_ENDS, s.message, false);
        runs(s.file, HALVED); // the frames that are there play
    }
    // The intro's sample and title font are optional.
    for (Damage d : four) {
        runs("sounds/electric.wav", d);
        runs("font/hackslsh.ttf", d);
    }
    // The applause is loaded only when a new record is entered.
    for (Damage d : four)
        fails("sounds/applause.wav", d, STOPS_AFTER_RACE,
              "Erreur lors du chargement de applause.wav\n", false);

    // The race font cannot be done without.
    for (Damage d : four)
        fails("font/comic.ttf", d, STOPS_BEFORE_MENU_ENDS,
              "Erreur de chargement de la police font/comic.ttf : ", true);
    // The window icon is optional.
    for (Damage d : four)
        runs("pics/sonic.bmp", d);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Matrix, DamagedFile, ::testing::ValuesIn(all_cases()), case_name);

size_t count_of(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Record files the player may read but not write (mode 0400): the game reads
// them and plays the whole session; each save says in one line that it was
// refused, and the files stay as they were. Root writes whatever the mode, so
// the session then runs as nobody.
TEST_F(DamagedFile, ReadOnlyRecordFilesAreReadAndEachRefusedSaveSaysSo) {
    ASSERT_FALSE(dir.empty());
    write_file(dir + "/session.txt", session_script());
    std::vector<std::string> as_player;
    if (geteuid() == 0) {
        if (!file_exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv to play as nobody";
        as_player = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    }
    std::string before[3];
    for (int i = 0; i < 3; ++i) {
        const std::string path = dir + "/" + RECORDS[i];
        before[i] = read_file(path);
        if (geteuid() == 0) {
            ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        }
        ASSERT_EQ(chmod(path.c_str(), 0400), 0);
    }

    SessionRun run = run_session(dir, "session.txt", as_player);

    ASSERT_TRUE(run.exited) << "killed by signal " << run.status << "\n" << run.err;
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.err.find("session exit 0"), std::string::npos) << run.err;
    ASSERT_EQ(finishes_in(run.err).size(), 1u) << run.err;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(read_file(dir + "/" + RECORDS[i]), before[i]) << RECORDS[i];
    // The menu saves the controls each time it ends (before the race and at
    // the quit); the finish saves its best time, the name entry the hall.
    auto refused = [](const char* file) {
        return std::string("Erreur d'écriture du fichier ") + file + " : " + strerror(EACCES) +
               "\n";
    };
    EXPECT_EQ(count_of(run.err, refused("data/control.dat")), 2u) << run.err;
    EXPECT_EQ(count_of(run.err, refused("data/scores.dat")), 1u) << run.err;
    EXPECT_EQ(count_of(run.err, refused("data/hall.dat")), 1u) << run.err;
    EXPECT_EQ(count_of(run.err, "Erreur"), 4u) << run.err;
}

} // namespace
