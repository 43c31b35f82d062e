// Saves of the three record files when things go wrong: the game killed at
// every step of a save, a write refused part-way, a full disk, a folder that
// takes no new file, a link, and record files that are not regular files.
// Each save runs in a child process; the file it leaves must be the old text
// or the new one, never a mix.
#include "input/controls.h"
#include "platform/record_file.h"
#include "records/records.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum Save { SCORES, HALL, CONTROLS };
const char* const PATHS[] = {"data/scores.dat", "data/hall.dat", "data/control.dat"};

std::string old_text(Save s) {
    switch (s) {
    case SCORES:
        return "99999.000000 13250.500000 99999.000000 99999.000000";
    case HALL: {
        std::string t;
        for (int r = 0; r < HALL_LINES; ++r)
            t += std::string(3, char('a' + r)) + " " + std::to_string(90000 + 1000 * r) +
                 ".000000 " + std::to_string(r % 4) + "\n";
        return t;
    }
    case CONTROLS:
        break;
    }
    return "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 0 0 0\n97 122 112 109\n";
}

std::string new_text(Save s) {
    switch (s) {
    case SCORES: {
        // One time per character, the second one new.
        float slots[SCORE_SLOTS];
        for (float& t : slots)
            t = SLOWEST_TIME_MS;
        slots[1] = 5000.25f;
        return format_score_slots(slots, SCORE_SLOTS);
    }
    case HALL:
        return "new 05000.000000 2\n" + old_text(HALL).substr(0, 9 * HALL_LINE_WIDTH);
    case CONTROLS:
        break;
    }
    return "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 0 0 0\n97 122 112 300\n";
}

// The save itself. For the best times the exit status tells what rw_score
// returned: 10 the new time, 11 the old one.
int run_save(Save s) {
    switch (s) {
    case SCORES: {
        const float t = 5000.25f;
        float r = rw_score(1, &t, 1);
        return r == t ? 10 : r == 13250.5f ? 11 : 12;
    }
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
    if (step == killStep) raise(SIGKILL);
}

// What the last child wrote on its standard error.
std::string childErr;

// Forks; the child sends its standard error down a pipe, runs prepare, the
// saves from first to last, then check, and exits with check's status, or
// with the last save's when check gives -1. Returns the wait status.
template <class Prepare, class Check>
int in_child(Prepare prepare, Save first, Save last, Check check) {
    fflush(nullptr);
    int err[2];
    if (pipe(err) != 0) return -1;
    pid_t pid = fork();
    if (pid == 0) {
        close(err[0]);
        dup2(err[1], 2);
        alarm(20); // a save that blocks fails the test instead of hanging it
        prepare();
        int code = 0;
        for (int s = first; s <= last; ++s)
            code = run_save(Save(s));
        int checked = check();
        _exit(checked >= 0 ? checked : code);
    }
    close(err[1]);
    childErr.clear();
    char buf[512];
    for (ssize_t n; (n = read(err[0], buf, sizeof buf)) > 0;)
        childErr.append(buf, size_t(n));
    close(err[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

template <class Prepare> int in_child(Prepare prepare, Save first, Save last) {
    return in_child(prepare, first, last, [] { return -1; });
}

std::string read_file(const char* path) {
    std::string t;
    FILE* f = fopen(path, "rb");
    if (!f) return "<missing>";
    for (int c; (c = fgetc(f)) != EOF;)
        t += char(c);
    fclose(f);
    return t;
}

std::string write_error(Save s, const char* reason) {
    return std::string("Erreur d'écriture du fichier ") + PATHS[s] + " : " + reason + "\n";
}

// Names in data/ other than the three record files.
int stray_files() {
    int n = 0;
    DIR* d = opendir("data");
    for (dirent* e; d && (e = readdir(d));)
        if (e->d_name[0] == '.' && strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) ++n;
    if (d) closedir(d);
    return n;
}

void write_all_old(ScratchGameDir& dir) {
    for (Save s : {SCORES, HALL, CONTROLS})
        dir.write(PATHS[s], old_text(s));
}

struct SavesTest : ::testing::Test {
    ScratchGameDir dir{false, false};
};

} // namespace

TEST_F(SavesTest, KilledAtEveryStepLeavesOldOrNewFile) {
    for (Save s : {SCORES, HALL, CONTROLS}) {
        int kills = 0, olds = 0;
        for (killStep = 1;; ++killStep) {
            ASSERT_LT(killStep, 50);
            write_all_old(dir);
            int st = in_child([] { set_record_save_hook(kill_at_step); }, s, s);
            const std::string now = read_file(PATHS[s]);
            if (WIFSIGNALED(st)) {
                ASSERT_EQ(WTERMSIG(st), SIGKILL);
                ++kills;
                if (now == old_text(s)) {
                    ++olds;
                    continue;
                }
                ASSERT_EQ(now, new_text(s)) << PATHS[s] << " killed at step " << killStep;
                continue;
            }
            // The step was never reached: the save ran to its end.
            EXPECT_EQ(now, new_text(s)) << PATHS[s];
            break;
        }
        EXPECT_GE(kills, 3) << PATHS[s];
        EXPECT_GE(olds, 1) << PATHS[s];
        printf("%s: %d kill points, old file left %d times, new file %d times\n", PATHS[s], kills,
               olds, kills - olds);
        dir.remove("data");
        mkdir("data", 0755);
    }
}

// RLIMIT_FSIZE stops the write after k bytes, for every k short of the whole text.
TEST_F(SavesTest, WriteRefusedPartWayLeavesOldFileAndSaysSo) {
    for (Save s : {SCORES, HALL, CONTROLS}) {
        for (size_t k = 0; k < new_text(s).size(); ++k) {
            write_all_old(dir);
            int st = in_child(
                [k] {
                    signal(SIGXFSZ, SIG_IGN);
                    rlimit lim = {rlim_t(k), rlim_t(k)};
                    setrlimit(RLIMIT_FSIZE, &lim);
                },
                s, s);
            ASSERT_TRUE(WIFEXITED(st)) << PATHS[s] << " at " << k;
            if (s == SCORES) {
                EXPECT_EQ(WEXITSTATUS(st), 11) << "the slot keeps its stored time";
            }
            ASSERT_EQ(read_file(PATHS[s]), old_text(s)) << PATHS[s] << " at " << k;
            ASSERT_EQ(childErr, write_error(s, strerror(EFBIG)));
            ASSERT_EQ(stray_files(), 0);
        }
    }
}

// A small tmpfs filled to the last page (needs mount rights; skipped without).
// The mount lives in the child alone, so the child checks the files.
TEST_F(SavesTest, FullDiskLeavesOldFilesAndSaysSo) {
    int st = in_child(
        [this] {
            if (unshare(CLONE_NEWNS) != 0 ||
                mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount("tmpfs", "data", "tmpfs", 0, "size=64k") != 0)
                _exit(77);
            write_all_old(dir);
            int fd = open("data/filler", O_WRONLY | O_CREAT, 0644);
            static const char page[4096] = {0};
            while (write(fd, page, sizeof page) > 0) {
            }
            close(fd);
        },
        SCORES, CONTROLS,
        [] {
            for (Save s : {SCORES, HALL, CONTROLS})
                if (read_file(PATHS[s]) != old_text(s)) return 30 + int(s);
            return stray_files() == 0 ? 0 : 40;
        });
    ASSERT_TRUE(WIFEXITED(st));
    if (WEXITSTATUS(st) == 77) GTEST_SKIP() << "no tmpfs mount here";
    EXPECT_EQ(WEXITSTATUS(st), 0) << "30-32: a file changed, 40: a temporary file left";
    const std::string reason = strerror(ENOSPC);
    EXPECT_EQ(childErr, write_error(SCORES, reason.c_str()) + write_error(HALL, reason.c_str()) +
                            write_error(CONTROLS, reason.c_str()));
}

// Some players' folders are read-only while the files in them are not: the
// save falls back to one write in place. A write refused part-way puts the
// old bytes back; a kill leaves the old text or the new one, a shorter new
// text padded with spaces until the cut. Root ignores folder rights, so the
// child gives them up.
TEST_F(SavesTest, ReadOnlyFolderSavesInPlace) {
    chmod(".", 0755);
    const bool root = geteuid() == 0;
    auto locked = [&](Save s) {
        chmod("data", 0755);
        write_all_old(dir);
        if (root && chown(PATHS[s], 65534, 65534) != 0) perror("chown");
        chmod("data", 0555);
    };
    auto drop_root = [root] {
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    };
    for (Save s : {SCORES, HALL, CONTROLS}) {
        locked(s);
        int st = in_child(drop_root, s, s);
        ASSERT_TRUE(WIFEXITED(st));
        EXPECT_EQ(read_file(PATHS[s]), new_text(s));
        EXPECT_EQ(childErr, "");
        EXPECT_EQ(stray_files(), 0);
        for (size_t k = 0; k < new_text(s).size(); ++k) {
            locked(s);
            st = in_child(
                [&] {
                    drop_root();
                    signal(SIGXFSZ, SIG_IGN);
                    rlimit lim = {rlim_t(k), rlim_t(k)};
                    setrlimit(RLIMIT_FSIZE, &lim);
                },
                s, s);
            ASSERT_TRUE(WIFEXITED(st));
            ASSERT_EQ(read_file(PATHS[s]), old_text(s)) << PATHS[s] << " at " << k;
            ASSERT_EQ(childErr, write_error(s, strerror(EFBIG)));
        }
        int kills = 0, olds = 0;
        for (killStep = 1;; ++killStep) {
            ASSERT_LT(killStep, 50);
            locked(s);
            st = in_child(
                [&] {
                    drop_root();
                    set_record_save_hook(kill_at_step);
                },
                s, s);
            std::string now = read_file(PATHS[s]);
            if (!WIFSIGNALED(st)) {
                EXPECT_EQ(now, new_text(s));
                break;
            }
            ++kills;
            if (now == old_text(s)) {
                ++olds;
                continue;
            }
            while (now.size() > new_text(s).size() && now.back() == ' ')
                now.pop_back();
            ASSERT_EQ(now, new_text(s)) << PATHS[s] << " killed at step " << killStep;
        }
        printf("%s in place: %d kill points, old file left %d times, new file %d times\n", PATHS[s],
               kills, olds, kills - olds);
    }
    chmod("data", 0755);
}

TEST_F(SavesTest, LinkStaysALinkAndPermissionsStay) {
    mkdir("elsewhere", 0755);
    for (Save s : {SCORES, HALL, CONTROLS}) {
        const std::string target = std::string("elsewhere/") + (PATHS[s] + 5);
        dir.write(target, old_text(s));
        chmod(target.c_str(), 0640);
        ASSERT_EQ(symlink(("../" + target).c_str(), PATHS[s]), 0);
    }
    int st = in_child([] {}, SCORES, CONTROLS);
    ASSERT_TRUE(WIFEXITED(st));
    for (Save s : {SCORES, HALL, CONTROLS}) {
        struct stat link, file;
        ASSERT_EQ(lstat(PATHS[s], &link), 0);
        EXPECT_TRUE(S_ISLNK(link.st_mode)) << PATHS[s];
        ASSERT_EQ(stat(PATHS[s], &file), 0);
        EXPECT_EQ(file.st_mode & 07777, 0640u) << PATHS[s];
        EXPECT_EQ(read_file(PATHS[s]), new_text(s));
    }
    EXPECT_EQ(stray_files(), 0);
}

// A FIFO, a device and a folder as record files: read as unreadable, never
// written, never waited on (the child's alarm would end it).
TEST_F(SavesTest, FilesThatAreNotRegularNeverBlock) {
    ASSERT_EQ(mkfifo(PATHS[SCORES], 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", PATHS[HALL]), 0);
    ASSERT_EQ(mkdir(PATHS[CONTROLS], 0755), 0);
    int st = in_child(
        [] {
            if (rw_score(1, nullptr, 0) != 0.0f) _exit(20);
            HallEntry e = {{'o', 'l', 'd', '\0'}, 1.0f, 1};
            rw_hall(&e, 3, 0);
            if (memcmp(e.name, "old", 4) != 0 || e.time_ms != 1.0f || e.character != 1) _exit(21);
            PlayerControl c[PLAYERS];
            default_controls(c);
            c[0].character = 9;
            load_save_controls(c, false); // read as empty: brought into range
            if (c[0].character != 0 || c[0].key != 97) _exit(22);
        },
        SCORES, CONTROLS);
    ASSERT_TRUE(WIFEXITED(st)) << "ended by signal " << WTERMSIG(st);
    EXPECT_EQ(WEXITSTATUS(st), 0);
    const char* reason = "ce n'est pas un fichier ordinaire";
    EXPECT_EQ(childErr, write_error(SCORES, reason) + write_error(HALL, reason) +
                            write_error(CONTROLS, reason));
    struct stat fifo;
    ASSERT_EQ(lstat(PATHS[SCORES], &fifo), 0);
    EXPECT_TRUE(S_ISFIFO(fifo.st_mode));
}
