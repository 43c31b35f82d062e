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

std::string hall_line(const char* name, const char* time, int character) {
    return std::string(name) + " " + time + " " + std::to_string(character) + "\n";
}

// Ten lines: aaa 10000, bbb 20000, ... jjj 100000 would not fit, so the last
// rank holds 99999.
std::string standard_hall() {
    std::string s;
    for (int r = 0; r < HALL_LINES; ++r) {
        char name[4] = {char('a' + r), char('a' + r), char('a' + r), 0};
        char time[16];
        snprintf(time, sizeof time, "%05d.000000", r == 9 ? 99999 : 10000 * (r + 1));
        s += hall_line(name, time, r % 4);
    }
    return s;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size() - 1;
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

} // namespace

// ---- best times ----

TEST_F(RecordsTest, EmptyScoresFileThenUpdate) {
    dir.write("data/scores.dat", "");
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(rw_score(c, nullptr, 0), 0.0f);
    const float t = 8000.5f;
    EXPECT_EQ(rw_score(2, &t, 1), 8000.5f);
    EXPECT_EQ(dir.read("data/scores.dat"), "0.000000 0.000000 8000.500000 0.000000");
}

TEST_F(RecordsTest, UpdateKeepsOtherSlotsAndLeavesNoTail) {
    dir.write("data/scores.dat", "12500.000000 13250.500000 99999.000000 99999.000000");
    EXPECT_EQ(rw_score(1, nullptr, 0), 13250.5f);
    const float t = 900.25f;
    EXPECT_EQ(rw_score(3, &t, 1), 900.25f);
    // Two characters shorter than before: the old tail must be gone.
    EXPECT_EQ(dir.read("data/scores.dat"), "12500.000000 13250.500000 99999.000000 900.250000");
    EXPECT_EQ(rw_score(3, nullptr, 0), 900.25f);
    EXPECT_EQ(rw_score(0, nullptr, 0), 12500.0f);
    EXPECT_EQ(rw_score(2, nullptr, 0), 99999.0f);
}

TEST_F(RecordsTest, UpdateStoresTheFloatItWasGiven) {
    dir.write("data/scores.dat", "1 2 3 4");
    const float t = 12345.678f;
    EXPECT_EQ(rw_score(0, &t, 1), t);
    EXPECT_EQ(rw_score(0, nullptr, 0), t); // six decimals are enough to come back
}

TEST_F(RecordsTest, ShortAndHandEditedScoresFiles) {
    dir.write("data/scores.dat", "1500.5\n2500\n3500 4500\n");
    EXPECT_EQ(rw_score(0, nullptr, 0), 1500.5f);
    EXPECT_EQ(rw_score(3, nullptr, 0), 4500.0f);

    dir.write("data/scores.dat", "500 600");
    EXPECT_EQ(rw_score(3, nullptr, 0), 0.0f);
    const float t = 400.0f;
    rw_score(0, &t, 1);
    EXPECT_EQ(dir.read("data/scores.dat"), "400.000000 600.000000 0.000000 0.000000");

    dir.write("data/scores.dat", "garbage 1 2 3");
    EXPECT_EQ(rw_score(1, nullptr, 0), 0.0f);
}

TEST_F(RecordsTest, OtherModesTouchNothing) {
    const std::string text = "1.000000 2.000000 3.000000 4.000000\n   ";
    dir.write("data/scores.dat", text);
    const float t = 5.0f;
    EXPECT_EQ(rw_score(1, &t, 2), 0.0f);
    EXPECT_EQ(rw_score(1, &t, -1), 0.0f);
    EXPECT_EQ(dir.read("data/scores.dat"), text);
}

TEST_F(RecordsTest, MissingScoresFileIsFatal) {
    EXPECT_EXIT(score_with_stdout_on_stderr(0), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de scores$");
    EXPECT_EXIT(score_with_stdout_on_stderr(1), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de scores$");
    EXPECT_EXIT(score_with_stdout_on_stderr(2), ::testing::ExitedWithCode(1),
                "Erreur de chargement du fichier de scores$");
    EXPECT_FALSE(dir.exists("data/scores.dat"));
}

// ---- hall of fame ----

TEST_F(RecordsTest, LineOffsets) {
    dir.write("data/hall.dat", standard_hall());
    FILE* f = fopen("data/hall.dat", "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(line_offset(f, 0), 0);
    EXPECT_EQ(line_offset(f, -2), 0);
    EXPECT_EQ(line_offset(f, 3), 3 * HALL_LINE_WIDTH);
    EXPECT_EQ(line_offset(f, 12), HALL_LINES * HALL_LINE_WIDTH);
    fclose(f);
}

TEST_F(RecordsTest, ReadRank) {
    dir.write("data/hall.dat", standard_hall());
    HallEntry e = entry_of("xyz", 1.0f, 9);
    rw_hall(&e, 3, 0);
    EXPECT_STREQ(e.name, "ddd");
    EXPECT_EQ(e.time_ms, 40000.0f);
    EXPECT_EQ(e.character, 3);
    rw_hall(&e, 9, 0);
    EXPECT_STREQ(e.name, "jjj");
    EXPECT_EQ(e.time_ms, 99999.0f);
}

TEST_F(RecordsTest, InsertAtTopAndBottom) {
    const std::string before = standard_hall();
    dir.write("data/hall.dat", before);
    HallEntry e = entry_of("new", 9876.5f, 1);
    rw_hall(&e, 0, 1);
    std::vector<std::string> old_lines = split_lines(before);
    std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "new 09876.500000 1\n");
    for (int r = 1; r < HALL_LINES; ++r)
        EXPECT_EQ(lines[r], old_lines[r - 1]);
    EXPECT_EQ(dir.read("data/hall.dat").size(), size_t(HALL_LINES * HALL_LINE_WIDTH));

    dir.write("data/hall.dat", before);
    e = entry_of("ten", 10000.0f, 2);
    rw_hall(&e, 9, 1);
    lines = split_lines(dir.read("data/hall.dat"));
    for (int r = 0; r < 9; ++r)
        EXPECT_EQ(lines[r], old_lines[r]);
    EXPECT_EQ(lines[9], "ten 10000.000000 2\n");
}

TEST_F(RecordsTest, InsertKeepsTheFixedWidth) {
    const std::string before = standard_hall();
    struct Case {
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
    for (const Case& k : cases) {
        dir.write("data/hall.dat", before);
        HallEntry e = k.e;
        rw_hall(&e, 4, 1);
        std::vector<std::string> lines = split_lines(dir.read("data/hall.dat"));
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_EQ(lines[4], k.line);
        EXPECT_EQ(std::memcmp(&e, &k.e, sizeof e), 0); // the caller's entry is untouched
    }
}

TEST_F(RecordsTest, RanksOutsideTheTableDoNothing) {
    const std::string before = standard_hall();
    dir.write("data/hall.dat", before);
    HallEntry e = entry_of("abc", 12345.0f, 0);
    rw_hall(&e, 10, 1);
    rw_hall(&e, -1, 1);
    rw_hall(&e, 10, 0);
    EXPECT_EQ(dir.read("data/hall.dat"), before);
    EXPECT_STREQ(e.name, "abc");
}

TEST_F(RecordsTest, DamagedLinesReadSafely) {
    std::string text = standard_hall();
    std::vector<std::string> lines = split_lines(text);
    lines[2] = "abcdefghijklmnopqrstuvwxyz 23456.500000 2\n";
    lines[3] = "xy\n";
    lines[4] = "zzz notanumber 1\n";
    lines[5] = "qqq 12.5 9\n";
    text.clear();
    for (const std::string& l : lines)
        text += l;
    dir.write("data/hall.dat", text);

    HallEntry e = entry_of("old", 1.0f, 1);
    rw_hall(&e, 2, 0);
    EXPECT_STREQ(e.name, "abc");
    EXPECT_EQ(e.time_ms, 23456.5f); // not thrown off by the long name
    EXPECT_EQ(e.character, 2);

    e = entry_of("old", 1.0f, 1);
    rw_hall(&e, 3, 0);
    EXPECT_STREQ(e.name, "xy");
    EXPECT_EQ(e.time_ms, 1.0f); // nothing more on that line
    EXPECT_EQ(e.character, 1);

    e = entry_of("old", 1.0f, 1);
    rw_hall(&e, 4, 0);
    EXPECT_STREQ(e.name, "zzz");
    EXPECT_EQ(e.time_ms, 1.0f);

    e = entry_of("old", 1.0f, 1);
    rw_hall(&e, 5, 0);
    EXPECT_EQ(e.time_ms, 12.5f);
    EXPECT_EQ(e.character, 1); // no such character
}

TEST_F(RecordsTest, ShortHallFileNeverGrows) {
    const std::string three = hall_line("aaa", "10000.000000", 0) +
                              hall_line("bbb", "20000.000000", 1) +
                              hall_line("ccc", "30000.000000", 2);
    dir.write("data/hall.dat", three);
    HallEntry e = entry_of("new", 5000.0f, 3);
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), hall_line("new", "05000.000000", 3) +
                                             hall_line("aaa", "10000.000000", 0) +
                                             hall_line("bbb", "20000.000000", 1));

    // A rank past the last line: nothing written, nothing read.
    const std::string now = dir.read("data/hall.dat");
    rw_hall(&e, 5, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), now);
    HallEntry r = entry_of("old", 1.0f, 1);
    rw_hall(&r, 5, 0);
    EXPECT_STREQ(r.name, "old");
    EXPECT_EQ(r.time_ms, 1.0f);

    // Last line without its line end, and an empty file.
    dir.write("data/hall.dat", "aaa 10000.000000 0\nbbb 20000.000000 1");
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "new 05000.000000 3\naaa 10000.000000 0");
    dir.write("data/hall.dat", "");
    rw_hall(&e, 0, 1);
    EXPECT_EQ(dir.read("data/hall.dat"), "");
}

TEST_F(RecordsTest, MissingHallFile) {
    HallEntry e = entry_of("old", 1.0f, 1);
    ::testing::internal::CaptureStderr();
    rw_hall(&e, 0, 0);
    rw_hall(&e, 0, 1);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Erreur de chargement du fichier hall\nErreur de chargement du fichier hall\n");
    EXPECT_STREQ(e.name, "old");
    EXPECT_EQ(e.time_ms, 1.0f);
    EXPECT_EQ(e.character, 1);
    EXPECT_FALSE(dir.exists("data/hall.dat"));
}

namespace {

// The race's placement: scan up from rank 9 while the time there is greater.
int hall_position(float t) {
    HallEntry e = entry_of("aaa", 0.0f, 0);
    int i = 9;
    rw_hall(&e, i, 0);
    while (i > 0 && e.time_ms > t) {
        --i;
        rw_hall(&e, i, 0);
    }
    if (i >= 1) return i + 1;
    return t <= e.time_ms ? 0 : 1;
}

} // namespace

TEST_F(RecordsTest, ManyPlacementsKeepTheTableInOrder) {
    std::string start;
    for (int r = 0; r < HALL_LINES; ++r)
        start += hall_line("zzz", "99999.000000", 0);
    dir.write("data/hall.dat", start);

    std::mt19937 rng(20240607);
    std::uniform_int_distribution<int> halves(0, 2 * 110000);
    std::uniform_int_distribution<int> letter(0, 27);
    std::vector<float> model(HALL_LINES, 99999.0f);
    int inserted = 0;
    for (int round = 0; round < 300; ++round) {
        // Half-milliseconds from 0 to 110 s: some fall outside the stored range.
        float t = float(halves(rng)) / 2.0f;
        HallEntry last = entry_of("aaa", 0.0f, 0);
        rw_hall(&last, 9, 0);
        if (!(t < last.time_ms)) continue;
        int rank = hall_position(t);
        ASSERT_GE(rank, 0);
        ASSERT_LE(rank, 9);
        char name[4] = {char('a' + letter(rng)), char('a' + letter(rng)), 'q', 0};
        HallEntry e = entry_of(name, t, round % 4);
        rw_hall(&e, rank, 1);
        float stored = t < 1000.0f ? 1000.0f : t;
        model.insert(model.begin() + rank, stored);
        model.pop_back();
        ++inserted;

        const std::string text = dir.read("data/hall.dat");
        ASSERT_EQ(text.size(), size_t(HALL_LINES * HALL_LINE_WIDTH)) << "round " << round;
        std::vector<std::string> lines = split_lines(text);
        ASSERT_EQ(lines.size(), size_t(HALL_LINES));
        for (int r = 0; r < HALL_LINES; ++r) {
            ASSERT_EQ(lines[r].size(), size_t(HALL_LINE_WIDTH));
            ASSERT_EQ(lines[r].back(), '\n');
            HallEntry got = entry_of("---", -1.0f, -1);
            rw_hall(&got, r, 0);
            ASSERT_EQ(got.time_ms, model[r]) << "round " << round << " rank " << r;
            for (int i = 0; i < 3; ++i) {
                ASSERT_GE(got.name[i], 'a');
                ASSERT_LE(got.name[i], 'z');
            }
            if (r > 0) {
                ASSERT_LE(model[r - 1], model[r]);
            }
        }
    }
    EXPECT_GT(inserted, 30); // the table really filled up along the way
}
