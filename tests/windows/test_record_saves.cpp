// The record files' saves on Windows (platform/record_file_win32.cpp): the
// game killed at every step of a save leaves the old text or the new one, a
// turn another game never gives back delays an update but does not stop it,
// and two games saving their best times at once lose neither.
//
// Each save runs in a process of its own: this program started again with
// "save KIND STEP FOLDER" or "best CHARACTER TIME FOLDER", which does that one
// thing and ends.
#include "input/controls.h"
#include "platform/record_file.h"
#include "records/records.h"
#include "support/save_texts.h"
#include "support/support.h"
#include "common/process_win32.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

// The status of a process killed in the middle of its save.
constexpr UINT KILLED = 137;

int run_save(Save s) {
    switch (s) {
    case SCORES:
        return save_best_time(1, 5000.25f) == 5000.25f ? 10 : 11;
    case HALL: {
        HallEntry e = {{'n', 'e', 'w', '\0'}, 5000.0f, 2};
        rw_hall(&e, 0, 1);
        return 0;
    }
    case CONTROLS:
        break;
    }
    PlayerControl c[PLAYERS];
    default_controls(c);
    c[3].key = 300;
    load_save_controls(c, true);
    return 0;
}

int killStep = 0;
void kill_at_step(int step) {
    if (step == killStep) TerminateProcess(GetCurrentProcess(), KILLED);
}
// Every step of a save takes a while, so two saves at once overlap.
void slow_step(int) {
    Sleep(15);
}

std::string read_file_text(const std::string& path) {
    std::string t;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    for (int c; (c = fgetc(f)) != EOF;)
        t += char(c);
    fclose(f);
    return t;
}

struct Child {
    HANDLE process;
    std::string errPath;
};

// Starts this program again with words; its standard error goes to errPath.
Child start_child(const std::string& words, const std::string& errPath) {
    Child c = {nullptr, errPath};
    wchar_t self[MAX_PATH];
    if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return c;
    std::wstring line = std::wstring(L"\"") + self + L"\" " + wide(words);
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE err = CreateFileW(wide(errPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    PROCESS_INFORMATION pi;
    if (start_process(self, line, err, err, nullptr, pi)) {
        CloseHandle(pi.hThread);
        c.process = pi.hProcess;
    }
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    return c;
}

// Waits for the child; gives its status (-1 when it could not start) and what
// it wrote on standard error.
int finish_child(const Child& c, std::string* err = nullptr) {
    if (!c.process) return -1;
    WaitForSingleObject(c.process, 60000);
    DWORD code = DWORD(-1);
    GetExitCodeProcess(c.process, &code);
    CloseHandle(c.process);
    if (err) {
        // Its standard error is in text mode.
        *err = read_file_text(c.errPath);
        for (size_t at; (at = err->find("\r\n")) != std::string::npos;)
            err->erase(at, 1);
    }
    DeleteFileW(wide(c.errPath).c_str());
    return int(code);
}

void write_all_old(ScratchGameDir& dir) {
    for (Save s : {SCORES, HALL, CONTROLS})
        dir.write(SAVE_PATHS[s], old_text(s));
}

struct WindowsSaves : ::testing::Test {
    ScratchGameDir dir{false, false};
};

} // namespace

TEST_F(WindowsSaves, KilledAtEveryStepLeavesOldOrNewFile) {
    for (Save s : {SCORES, HALL, CONTROLS}) {
        int kills = 0, olds = 0;
        for (int step = 1;; ++step) {
            ASSERT_LT(step, 50);
            write_all_old(dir);
            const int st = finish_child(start_child(
                "save " + std::to_string(s) + " " + std::to_string(step) + " \"" + dir.path + "\"",
                dir.path + "/child.err"));
            ASSERT_NE(st, -1) << "the save could not start";
            const std::string now = read_file_text(SAVE_PATHS[s]);
            if (st == int(KILLED)) {
                ++kills;
                if (now == old_text(s)) {
                    ++olds;
                    continue;
                }
                ASSERT_EQ(now, new_text(s)) << SAVE_PATHS[s] << " killed at step " << step;
                continue;
            }
            // The step was never reached: the save ran to its end.
            EXPECT_EQ(now, new_text(s)) << SAVE_PATHS[s];
            break;
        }
        EXPECT_GE(kills, 3) << SAVE_PATHS[s];
        EXPECT_GE(olds, 1) << SAVE_PATHS[s];
        printf("%s: %d kill points, old file left %d times, new file %d times\n", SAVE_PATHS[s],
               kills, olds, kills - olds);
    }
}

// The turn held here, in the middle of an update, while another game saves:
// that save waits a while, then goes on without it and says so. Windows will
// not replace the file held open here, so it is written in place.
TEST_F(WindowsSaves, ATurnNeverGivenBackDelaysTheSaveButDoesNotStopIt) {
    write_all_old(dir);
    RecordFile held = open_record_to_update(SAVE_PATHS[HALL]);
    ASSERT_EQ(held.state, RECORD_READ);
    std::string err;
    const int st =
        finish_child(start_child("save " + std::to_string(HALL) + " 0 \"" + dir.path + "\"",
                                 dir.path + "/child.err"),
                     &err);
    close_record(held);
    EXPECT_EQ(st, 0);
    EXPECT_EQ(read_file_text(SAVE_PATHS[HALL]), new_text(HALL));
    EXPECT_EQ(err, std::string("Erreur de verrouillage du fichier data/hall.dat : ") +
                       strerror(EAGAIN) + "\n");
}

// Two games finish at the same moment, each with a best time for its own
// character, every step of their saves slowed down so that they overlap:
// taking turns, the second reads what the first saved and keeps it.
TEST_F(WindowsSaves, TwoGamesSavingAtOnceKeepBothTimes) {
    write_all_old(dir);
    for (int round = 0; round < 4; ++round) {
        const int a = 4000 + round, b = 6000 + round;
        const std::string folder = " \"" + dir.path + "\"";
        Child first = start_child("best 0 " + std::to_string(a) + folder, dir.path + "/a.err");
        Child second = start_child("best 2 " + std::to_string(b) + folder, dir.path + "/b.err");
        std::string errA, errB;
        EXPECT_EQ(finish_child(first, &errA), 0) << errA;
        EXPECT_EQ(finish_child(second, &errB), 0) << errB;
        char want[128];
        snprintf(want, sizeof want, "%f 13250.500000 %f 99999.000000", double(a), double(b));
        EXPECT_EQ(read_file_text(SAVE_PATHS[SCORES]), want) << "round " << round;
        dir.write(SAVE_PATHS[SCORES], old_text(SCORES));
    }
}

int main(int argc, char** argv) {
    if (argc == 5 && (strcmp(argv[1], "save") == 0 || strcmp(argv[1], "best") == 0)) {
        if (!SetCurrentDirectoryW(wide(argv[4]).c_str())) return 126;
        if (argv[1][0] == 'b') {
            set_record_save_hook(slow_step);
            const float t = float(atoi(argv[3]));
            return save_best_time(atoi(argv[2]), t) == t ? 0 : 1;
        }
        killStep = atoi(argv[3]);
        set_record_save_hook(kill_at_step);
        return run_save(Save(atoi(argv[2])));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
