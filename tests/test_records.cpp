#include "records/records.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct RecordsTest : ::testing::Test {
    ScratchGameDir dir{false, false};
};

// The child sends its standard output to standard error, where a death test
// can match the message (and its missing line end).
float score_with_stdout_on_stderr(int mode) {
    fflush(stdout);
    dup2(2, 1);
    float t = 1.0f;
    return rw_score(0, &t, mode);
}

std::string hall_line(const char* name, int seconds, int character) {
    char line[32];
    snprintf(line, sizeof line, "%s %05d.000000 %d\n", name, seconds, character);
    return line;
}

// Ranks 0-8 at 10, 20, ... 90 s, names aaa, bbb, ...; rank 9 at 99.999 s.
std::string standard_hall() {
    std::string s;
    for (int r = 0; r < HALL_LINES; ++r) {
        char name[4] = {char('a' + r), char('a' + r), char('a' + r), 0};
        s += hall_line(name, r == 9 ? 99999 : 10000 * (r + 1), r % 4);
    }
    return s;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find('\n', start), text.size() - 1);
        lines.push_back(text.substr(start, end - start + 1));
        start = end + 1;
    }
    return lines;
}

HallEntry entry_of(const char* name, float t, int character) {
    HallEntry e;
    std::memset(&e, 0, sizeof e);
    std::memcpy(e.name, name, std::min<size_t>(std::strlen(name), 3));
    e.time_ms = t;
    e.character = character;
    return e;
}

// The slots of the characters a four-time file does not reach, as rw_score
// writes them back: they start at the slowest time.
std::string later_slots() {
    std::string s;
    for (int c = FIRST_SCORE_SLOTS; c < SCORE_SLOTS; ++c)
        s += " 99999.000000";
    return s;
}

} // namespace

// ---- best times ----

TEST_F(RecordsTest, EmptyScoresFileThenUpdate) {
    dir.write("data/scores.dat", "");
    EXPECT_EQ(rw_score(3, nullptr, 0), 0.0f);
    const float t = 8000.5f;
    EXPECT_EQ(rw_score(2, &t, 1), 8000.5f);
    EXPECT_EQ(dir.read("data/scores.dat"),
              "0.000000 0.000000 8000.500000 0.000000" + later_slots());
}

TEST_F(RecordsTest, UpdateKeepsOtherSlotsAndLeavesNoTail) {
    dir.write("data/scores.dat", "12500.000000 13250.500000 99999.000000 99999.000000");
    EXPECT_EQ(rw_score(1, nullptr, 0), 13250.5f);
    const float t = 900.25f;
    EXPECT_EQ(rw_score(3, &t, 1), 900.25f);
    // Two characters shorter than before: the old tail must be gone.
    EXPECT_EQ(dir.read("data/scores.dat"),
              "12500.000000 13250.500000 99999.000000 900.250000" + later_slots());
    EXPECT_EQ(rw_score(3, nullptr, 0), 900.25f);

    const float odd = 12345.678f; // six decimals are enough to come back exactly
    EXPECT_EQ(rw_score(0, &odd, 1), odd);
    EXPECT_EQ(rw_score(0, nullptr, 0), odd);
    EXPECT_EQ(rw_score(2, nullptr, 0), 99999.0f);
}

TEST_F(RecordsTest, ShortAndHandEditedScoresFiles) {
    dir.write("data/scores.dat", "1500.5\n2500\n3500 4500\n");
    EXPECT_EQ(rw_score(3, nullptr, 0), 4500.0f);

    dir.write("data/scores.dat", "500 600");
    EXPECT_EQ(rw_score(3, nullptr, 0), 0.0f);
    const float t = 400.0f;
    rw_score(0, &t, 1);
    EXPECT_EQ(dir.read("data/scores.dat"),
              "400.000000 600.000000 0.000000 0.000000" + later_slots());

    // Any other mode opens and closes the file and nothing more.
    const std::string text = "1.000000 2.000000 3.000000 4.000000\n   ";
    dir.write("data/scores.dat", text);
    EXPECT_EQ(rw_score(1, &t, 2), 0.0f);
    EXPECT_EQ(rw_score(1, &t, -1), 0.0f);
    EXPECT_EQ(dir.read("data/scores.dat"), text);
}

// A file written before a fifth character came keeps its four times and
// gives the newcomer the slowest time, which its first finish beats; a slot
// of the first four that the text does not reach still reads 0.0.
TEST(ScoreSlots, AnOldFileGivesALaterCharacterTheSlowestTime) {
    const int slots = FIRST_SCORE_SLOTS + 1;
    float t[slots];
    read_score_slots("12500.000000 13250.500000 99999.000000 900.250000", t, slots);
    EXPECT_EQ(t[0], 12500.0f);
    EXPECT_EQ(t[3], 900.25f);
    EXPECT_EQ(t[4], NO_TIME_MS);
    EXPECT_EQ(format_score_slots(t, slots),
              "12500.000000 13250.500000 99999.000000 900.250000 99999.000000");

    read_score_slots("500 600", t, slots);
    EXPECT_EQ(t[1], 600.0f);
    EXPECT_EQ(t[2], 0.0f);
    EXPECT_EQ(t[3], 0.0f);
    EXPECT_EQ(t[4], NO_TIME_MS);
    // A fifth time the file holds is kept, garbage after it stops nothing before.
    read_score_slots("1\n2\n3 4 5.5 junk", t, slots);
    EXPECT_EQ(t[4], 5.5f);
    read_score_slots("1 2 3 4 junk", t, slots);
    EXPECT_EQ(t[4], NO_TIME_MS);
}

TEST_F(RecordsTest, MissingScoresFileIsFatal) {
    for (int mode : {0, 1, 2})
        EXPECT_EXIT(score_with_stdout_on_stderr(mode), ::testing::ExitedWithCode(1),
                    "Erreur de chargement du fichier de scores$");
    EXPECT_FALSE(dir.exists("data/scores.dat"));
}

// ---- hall of fame ----

TEST_F(RecordsTest, LineOffsetsAndReading) {
    dir.write("data/hall.dat", standard_hall());
    FILE* f = fopen("data/hall.dat", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(line_offset(f, 0), 0);
    EXPECT_EQ(line_offset(f, 3), 3 * HALL_LINE_WIDTH);
    EXPECT_EQ(line_offset(f, 12), HALL_LINES * HALL_LINE_WIDTH);
    fclose(f);

    HallEntry e = entry_of("xyz", 1.0f, 9);
    rw_hall(&e, 3, 0);
    EXPECT_STREQ(e.name, "ddd");
    EXPECT_EQ(e.time_ms, 40000.0f);
    EXPECT_EQ(e.character, 3);
}

TEST_F(RecordsTest, InsertAtTopAndBottom) {
    const std::string before = standard_hall();
    const std::vector<std::string> old_lines = split_lines(before);
    dir.write("data/hall.dat", before);
    HallEntry e = entry_of("new", 9876.5f, 1);
    rw_hall(&e, 0, 1);
    std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "new 09876.500000 1\n");
    for (int r = 1; r < HALL_LINES; ++r)
        EXPECT_EQ(lines[r], old_lines[r - 1]);

    dir.write("data/hall.dat", before);
    e = entry_of("ten", 10000.0f, 2);
    rw_hall(&e, 9, 1);
    lines = split_lines(dir.read("data/hall.dat"));
    ASSERT_EQ(lines.size(), 10u);
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(lines[r], old_lines[r]);
    EXPECT_EQ(lines[9], "ten 10000.000000 2\n");

    // Ranks outside the table do nothing.
    dir.write("data/hall.dat", before);
    rw_hall(&e, 10, 1);
    rw_hall(&e, -1, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), before);
}

TEST_F(RecordsTest, InsertKeepsTheFixedWidth) {
    const struct {
        HallEntry e;
        const char* line;
    } cases[] = {
        {entry_of("Ab1", 12345.0f, 0), "aaa 12345.000000 0\n"},
        {entry_of("ab", 12345.0f, 0), "aaa 12345.000000 0\n"},
        {entry_of("abc", 50.0f, 3), "abc 01000.000000 3\n"},
        {entry_of("abc", 250000.0f, 3), "abc 99999.000000 3\n"},
        {entry_of("abc", 12345.0f, 12), "abc 12345.000000 0\n"},
        {entry_of("abc", 9999.999f, 1), "abc 09999.999023 1\n"},
    };
    for (const auto& k : cases) {
        dir.write("data/hall.dat", standard_hall());
        HallEntry e = k.e;
        rw_hall(&e, 4, 1);
        std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_EQ(lines[4], k.line);
        EXPECT_EQ(std::memcmp(&e, &k.e, sizeof e), 0); // the caller's entry is untouched
    }
}

TEST_F(RecordsTest, DamagedLinesReadSafely) {
    dir.write("data/hall.dat", "abcdefghijklmnopqrstuvwxyz 23456.500000 2\n"
                               "xy\n"
                               "zzz notanumber 1\n"
                               "qqq 12.5 9\n");
    HallEntry e = entry_of("old", 1.0f, 1);
    rw_hall(&e, 0, 0);
    EXPECT_STREQ(e.name, "abc");
    EXPECT_EQ(e.time_ms, 23456.5f); // not thrown off by the long name
    EXPECT_EQ(e.character, 2);

    const struct {
        int rank;
        const char* name;
        float time;
    } rows[] = {{1, "xy", 1.0f}, {2, "zzz", 1.0f}, {3, "qqq", 12.5f}, {7, "old", 1.0f}};
    for (const auto& row : rows) {
        e = entry_of("old", 1.0f, 1);
        rw_hall(&e, row.rank, 0);
        EXPECT_STREQ(e.name, row.name) << "rank " << row.rank;
        EXPECT_EQ(e.time_ms, row.time) << "rank " << row.rank;
        EXPECT_EQ(e.character, 1) << "rank " << row.rank; // missing, or no such character
    }
}

// A damaged file gets ten whole lines back: the entry is never cut, lines
// that can be read keep their values, the others read as the placeholder.
TEST_F(RecordsTest, ShortOrUnevenHallFileGetsTenWholeLines) {
    const std::string blank = "aaa 99999.000000 0\n";
    auto blanks = [&](int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s += blank;
        return s;
    };
    const std::string three =
        hall_line("aaa", 10000, 0) + hall_line("bbb", 20000, 1) + hall_line("ccc", 30000, 2);
    dir.write("data/hall.dat", three);
    HallEntry e = entry_of("new", 5000.0f, 3);
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "new 05000.000000 3\n" + three + blanks(6));
    dir.write("data/hall.dat", three);
    rw_hall(&e, 5, 1); // past the last line
    EXPECT_EQ(dir.read("data/hall.dat"), three + blanks(2) + "new 05000.000000 3\n" + blanks(4));

    // Last line without its line end, and an empty file.
    dir.write("data/hall.dat", "aaa 10000.000000 0\nbbb 20000.000000 1");
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "new 05000.000000 3\n" + hall_line("aaa", 10000, 0) +
                                             hall_line("bbb", 20000, 1) + blanks(7));
    dir.write("data/hall.dat", "");
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "new 05000.000000 3\n" + blanks(9));

    // Short, empty and long lines, the entry ranking on the short one.
    dir.write("data/hall.dat",
              "zzz 30000.000000 2 and more text\nab\n\nccc 40000.000000 1\n" + blanks(6));
    rw_hall(&e, 1, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "zzz 30000.000000 2\nnew 05000.000000 3\n" + blank +
                                             blank + "ccc 40000.000000 1\n" + blanks(5));
}

// A hall of fame edited by hand: every line that reads whole at the fixed
// width moves down byte for byte, whatever its name; only the lines that
// cannot be read, or not at that width, are written in the standard form.
TEST_F(RecordsTest, InsertionKeepsHandEditedLinesAsTheyWere) {
    const std::string kept[] = {"ACE 10000.000000 0\n", "Bob 20000.000000 1\n",
                                "a1b 30000.000000 2\n", " xy 40000.000000 3\n",
                                "abcd 50000.00000 1\n", "q   60000.0      2\n"};
    std::string text;
    for (const std::string& line : kept)
        text += line;
    text += "zz 70000.000000 9\n"    // no such character
            "zzz nan 1\n"            // not a number
            "yyy 80000.000000 2\r\n" // wider than the others
            "xxx 90000.000000 3";    // no line end
    for (bool by_time : {false, true}) {
        dir.write("data/hall.dat", text);
        HallEntry e = entry_of("new", 35000.0f, 3);
        if (by_time)
            EXPECT_EQ(hall_place(&e), 3);
        else
            rw_hall(&e, 3, 1);
        std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_EQ(lines[0], kept[0]);
        EXPECT_EQ(lines[1], kept[1]);
        EXPECT_EQ(lines[2], kept[2]);
        EXPECT_EQ(lines[3], "new 35000.000000 3\n");
        EXPECT_EQ(lines[4], kept[3]);
        EXPECT_EQ(lines[5], kept[4]);
        EXPECT_EQ(lines[6], kept[5]);
        EXPECT_EQ(lines[7], "aaa 70000.000000 0\n"); // a name it cannot hold
        EXPECT_EQ(lines[8], "zzz 99999.000000 1\n"); // read as no time
        EXPECT_EQ(lines[9], "yyy 80000.000000 2\n"); // the old last line is lost
    }
}

// Not a number or infinite, in either file: no time, which a race beats.
TEST_F(RecordsTest, TimesThatAreNotNumbersReadAsNoTime) {
    dir.write("data/scores.dat", "nan -inf 1e39 12000");
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(rw_score(c, nullptr, 0), NO_TIME_MS) << c;
    EXPECT_EQ(save_best_time(0, 50000.0f), 50000.0f);
    EXPECT_EQ(save_best_time(3, 13000.0f), 12000.0f); // not better: kept
    EXPECT_EQ(dir.read("data/scores.dat"),
              "50000.000000 99999.000000 99999.000000 12000.000000" + later_slots());

    std::string hall = standard_hall();
    hall.replace(hall.size() - HALL_LINE_WIDTH, HALL_LINE_WIDTH, "jjj -nan 1\n");
    dir.write("data/hall.dat", hall);
    HallEntry e = entry_of("old", 1.0f, 2);
    rw_hall(&e, 9, 0);
    EXPECT_STREQ(e.name, "jjj");
    EXPECT_EQ(e.time_ms, NO_TIME_MS);
    EXPECT_EQ(e.character, 1);
    EXPECT_EQ(hall_rank(95000.0f), 9);
    EXPECT_EQ(hall_rank(NO_TIME_MS), -1);
}

TEST_F(RecordsTest, MissingHallFile) {
    HallEntry e = entry_of("old", 1.0f, 1);
    ::testing::internal::CaptureStderr();
    rw_hall(&e, 0, 0);
    rw_hall(&e, 0, 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Erreur de chargement du fichier hall\nErreur de chargement du fichier hall\n");
    EXPECT_STREQ(e.name, "old");
    EXPECT_EQ(e.time_ms, 1.0f);
    EXPECT_FALSE(dir.exists("data/hall.dat"));
}

namespace {

// The placement as a model: scan up from rank 9 while the time there is greater.
int model_position(float t) {
    HallEntry e = entry_of("aaa", 0.0f, 0);
    int i = 9;
    rw_hall(&e, i, 0);
    while (i > 0 && e.time_ms > t)
        rw_hall(&e, --i, 0);
    if (i >= 1) return i + 1;
    return t <= e.time_ms ? 0 : 1;
}

} // namespace

TEST_F(RecordsTest, ManyPlacementsKeepTheTableInOrder) {
    std::string start;
    for (int r = 0; r < HALL_LINES; ++r)
        start += hall_line("zzz", 99999, 0);
    dir.write("data/hall.dat", start);

    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> halves(0, 2 * 110000);
    std::uniform_int_distribution<int> letter(0, 27); // past 'z' now and then
    std::vector<float> model(HALL_LINES, 99999.0f);
    int inserted = 0;
    for (int round = 0; round < 300; ++round) {
        // Half-milliseconds from 0 to 110 s: some fall outside the stored range.
        const float t = float(halves(rng)) / 2.0f;
        HallEntry last = entry_of("aaa", 0.0f, 0);
        rw_hall(&last, 9, 0);
        if (!(t < last.time_ms)) continue;
        const int rank = model_position(t);
        char name[4] = {char('a' + letter(rng)), char('a' + letter(rng)), 'q', 0};
        HallEntry e = entry_of(name, t, round % 4);
        rw_hall(&e, rank, 1);
        model.insert(model.begin() + rank, std::max(t, 1000.0f));
        model.pop_back();
        ++inserted;

        const std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
        ASSERT_EQ(lines.size(), size_t(HALL_LINES)) << "round " << round;
        for (int r = 0; r < HALL_LINES; ++r) {
            ASSERT_EQ(lines[r].size(), size_t(HALL_LINE_WIDTH)) << "round " << round;
            ASSERT_EQ(lines[r].back(), '\n');
            HallEntry got = entry_of("---", -1.0f, -1);
            rw_hall(&got, r, 0);
            ASSERT_EQ(got.time_ms, model[r]) << "round " << round << " rank " << r;
            ASSERT_TRUE(std::all_of(got.name, got.name + 3,
                                    [](char ch) { return ch >= 'a' && ch <= 'z'; }));
        }
        ASSERT_TRUE(std::is_sorted(model.begin(), model.end()));
    }
    EXPECT_GT(inserted, 30); // the table really filled up along the way
}
