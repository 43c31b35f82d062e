// Saves of the three record files when things go wrong: the game killed at
// every step of a save, a write refused part-way, a full disk, a folder that
// takes no new file, a link, and record files that are not regular files.
// Each save runs in a child process; the file it leaves must be the old text
// or the new one, never a mix.
#include "input/controls.h"
#include "platform/record_file.h"
#include "records/records.h"
#include "support/session_run.h"
#include "support/save_texts.h"
#include "support/support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <grp.h>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <string>
#include <utility>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

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
    return std::string("Erreur d'écriture du fichier ") + SAVE_PATHS[s] + " : " + reason + "\n";
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
        dir.write(SAVE_PATHS[s], old_text(s));
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
            const std::string now = read_file(SAVE_PATHS[s]);
            if (WIFSIGNALED(st)) {
                ASSERT_EQ(WTERMSIG(st), SIGKILL);
                ++kills;
                if (now == old_text(s)) {
                    ++olds;
                    continue;
                }
                ASSERT_EQ(now, new_text(s)) << SAVE_PATHS[s] << " killed at step " << killStep;
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
            ASSERT_TRUE(WIFEXITED(st)) << SAVE_PATHS[s] << " at " << k;
            if (s == SCORES) {
                EXPECT_EQ(WEXITSTATUS(st), 11) << "the slot keeps its stored time";
            }
            ASSERT_EQ(read_file(SAVE_PATHS[s]), old_text(s)) << SAVE_PATHS[s] << " at " << k;
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
                if (read_file(SAVE_PATHS[s]) != old_text(s)) return 30 + int(s);
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
        if (root && chown(SAVE_PATHS[s], 65534, 65534) != 0) perror("chown");
        chmod("data", 0555);
    };
    auto drop_root = [root] {
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
    };
    for (Save s : {SCORES, HALL, CONTROLS}) {
        locked(s);
        int st = in_child(drop_root, s, s);
        ASSERT_TRUE(WIFEXITED(st));
        EXPECT_EQ(read_file(SAVE_PATHS[s]), new_text(s));
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
            ASSERT_EQ(read_file(SAVE_PATHS[s]), old_text(s)) << SAVE_PATHS[s] << " at " << k;
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
            std::string now = read_file(SAVE_PATHS[s]);
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
            ASSERT_EQ(now, new_text(s)) << SAVE_PATHS[s] << " killed at step " << killStep;
        }
        printf("%s in place: %d kill points, old file left %d times, new file %d times\n",
               SAVE_PATHS[s], kills, olds, kills - olds);
    }
    chmod("data", 0755);
}

TEST_F(SavesTest, LinkStaysALinkAndPermissionsStay) {
    mkdir("elsewhere", 0755);
    for (Save s : {SCORES, HALL, CONTROLS}) {
        const std::string target = std::string("elsewhere/") + (SAVE_PATHS[s] + 5);
        dir.write(target, old_text(s));
        chmod(target.c_str(), 0640);
        ASSERT_EQ(symlink(("../" + target).c_str(), SAVE_PATHS[s]), 0);
    }
    int st = in_child([] {}, SCORES, CONTROLS);
    ASSERT_TRUE(WIFEXITED(st));
    for (Save s : {SCORES, HALL, CONTROLS}) {
        struct stat link, file;
        ASSERT_EQ(lstat(SAVE_PATHS[s], &link), 0);
        EXPECT_TRUE(S_ISLNK(link.st_mode)) << SAVE_PATHS[s];
        ASSERT_EQ(stat(SAVE_PATHS[s], &file), 0);
        EXPECT_EQ(file.st_mode & 07777, 0640u) << SAVE_PATHS[s];
        EXPECT_EQ(read_file(SAVE_PATHS[s]), new_text(s));
    }
    EXPECT_EQ(stray_files(), 0);
}

// Folders shared by several players (root arranges them; the saves run as
// nobody). In a folder of the players' group, a save keeps the file's group
// though it cannot keep its owner, so the next player can still write it. In a
// sticky folder (mode 1777) the rename over another player's file is refused,
// and the save goes in place, the file being writable.
TEST_F(SavesTest, SharedFoldersKeepTheGroupOrSaveInPlace) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give the files to other players";
    chmod(".", 0755);
    const gid_t players = 100;
    const uid_t other = 1;
    auto as_nobody_in_group = [players] {
        if (setgroups(1, &players) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
    };
    for (bool sticky : {false, true}) {
        SCOPED_TRACE(sticky ? "sticky folder" : "group folder");
        chmod("data", 0755);
        write_all_old(dir);
        for (Save s : {SCORES, HALL, CONTROLS}) {
            ASSERT_EQ(chown(SAVE_PATHS[s], other, players), 0);
            ASSERT_EQ(chmod(SAVE_PATHS[s], sticky ? 0666 : 0664), 0);
        }
        ASSERT_EQ(chown("data", 0, players), 0);
        ASSERT_EQ(chmod("data", sticky ? 01777 : 0775), 0);
        int st = in_child(as_nobody_in_group, SCORES, CONTROLS);
        ASSERT_TRUE(WIFEXITED(st));
        EXPECT_EQ(WEXITSTATUS(st), 0);
        EXPECT_EQ(childErr, "");
        for (Save s : {SCORES, HALL, CONTROLS}) {
            EXPECT_EQ(read_file(SAVE_PATHS[s]), new_text(s)) << SAVE_PATHS[s];
            struct stat after;
            ASSERT_EQ(stat(SAVE_PATHS[s], &after), 0);
            EXPECT_EQ(after.st_gid, players) << SAVE_PATHS[s];
            // In place the file stays the other player's; replaced, it is nobody's.
            EXPECT_EQ(after.st_uid, sticky ? other : 65534u) << SAVE_PATHS[s];
            EXPECT_EQ(after.st_mode & 07777, sticky ? 0666u : 0664u) << SAVE_PATHS[s];
        }
        EXPECT_EQ(stray_files(), 0);
    }
    chown("data", 0, 0);
    chmod("data", 0755);
}

// A lock another game never lets go (stopped in the middle of its save): the
// save waits a while, then goes on without it and says so. It is never refused
// for it, and never waits for ever (the child's alarm would end it).
TEST_F(SavesTest, ALockNeverFreedDelaysTheSaveButDoesNotStopIt) {
    write_all_old(dir);
    int held = open(SAVE_PATHS[HALL], O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    int st = in_child([] {}, HALL, HALL);
    close(held);
    ASSERT_TRUE(WIFEXITED(st));
    EXPECT_EQ(read_file(SAVE_PATHS[HALL]), new_text(HALL));
    EXPECT_EQ(childErr, std::string("Erreur de verrouillage du fichier data/hall.dat : ") +
                            strerror(EWOULDBLOCK) + "\n");
}

// A FIFO, a device and a folder as record files: read as unreadable, never
// written, never waited on (the child's alarm would end it).
TEST_F(SavesTest, FilesThatAreNotRegularNeverBlock) {
    ASSERT_EQ(mkfifo(SAVE_PATHS[SCORES], 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", SAVE_PATHS[HALL]), 0);
    ASSERT_EQ(mkdir(SAVE_PATHS[CONTROLS], 0755), 0);
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
    ASSERT_EQ(lstat(SAVE_PATHS[SCORES], &fifo), 0);
    EXPECT_TRUE(S_ISFIFO(fifo.st_mode));
}

// ---- Two games on the same files.

namespace {

// Game A stops in the middle of each of its updates (at the chosen step of
// the save, or after the update when the save never reaches it) and lets game
// B run one update of its own. B's update either runs then or waits for A's
// lock; A goes on after a while when B does not answer.
struct Turnstile {
    int toB, fromA, toA, fromB;
};
Turnstile gate;
int stallStep = 0;
bool told = false;
bool answered = false;

void let_b_run(int wait_ms) {
    told = true;
    char c = 1;
    if (write(gate.toB, &c, 1) != 1) _exit(60);
    pollfd p = {gate.fromB, POLLIN, 0};
    if (poll(&p, 1, wait_ms) == 1 && read(gate.fromB, &c, 1) == 1) answered = true;
}

void stall_for_b(int step) {
    if (step == stallStep && !told) let_b_run(200);
}

template <class Update> void a_update(Update update) {
    told = answered = false;
    update();
    if (!told) let_b_run(0);
    char c;
    if (!answered && read(gate.fromB, &c, 1) != 1) _exit(61);
}

// What the two games run: per round A saves a best time, finds its hall rank at
// the race's end, types its name while B enters a faster time, and stores its
// entry while B stores a slower one. B's best times are always the better.
const int ROUNDS = 2;
const int CHARACTER = 1;
float a_time(int round) {
    return 20000.0f + 10000.0f * float(round);
}
float a_best(int round) {
    return round == 0 ? 20000.0f : 16000.0f;
}
float b_best(int round) {
    return round == 0 ? 15000.0f : 11000.0f;
}
HallEntry entry(const char* name, float t) {
    HallEntry e = {{name[0], name[1], name[2], '\0'}, t, CHARACTER};
    return e;
}

int game_a() {
    set_record_save_hook(stall_for_b);
    for (int k = 0; k < ROUNDS; ++k) {
        a_update([k] { save_best_time(CHARACTER, a_best(k)); });
        const HallEntry mine = entry(k == 0 ? "ana" : "anb", a_time(k));
        if (hall_rank(mine.time_ms) < 0) return 62;
        a_update([] {}); // the name entry
        a_update([&mine] { hall_place(&mine); });
    }
    return 0;
}

int game_b() {
    const char* names[] = {"bna", "bnb", "bnc", "bnd"};
    for (int k = 0; k < ROUNDS; ++k)
        for (int u = 0; u < 3; ++u) {
            char c;
            if (read(gate.fromA, &c, 1) != 1) return 63;
            if (u == 0) {
                save_best_time(CHARACTER, b_best(k));
            } else {
                HallEntry e = entry(names[2 * k + u - 1], a_time(k) + (u == 1 ? -500.0f : 500.0f));
                hall_place(&e);
            }
            if (write(gate.toA, &c, 1) != 1) return 64;
        }
    return 0;
}

// The hall after both games: every entry in time order above what is left of
// the old table.
std::string hall_after_both() {
    std::vector<HallEntry> rows;
    const char* b_names[] = {"bna", "bnb", "bnc", "bnd"};
    for (int k = 0; k < ROUNDS; ++k) {
        rows.push_back(entry(k == 0 ? "ana" : "anb", a_time(k)));
        rows.push_back(entry(b_names[2 * k], a_time(k) - 500.0f));
        rows.push_back(entry(b_names[2 * k + 1], a_time(k) + 500.0f));
    }
    std::sort(rows.begin(), rows.end(),
              [](const HallEntry& x, const HallEntry& y) { return x.time_ms < y.time_ms; });
    std::string t;
    for (const HallEntry& e : rows) {
        char line[32];
        snprintf(line, sizeof line, "%s %f %d\n", e.name, double(e.time_ms), e.character);
        t += line;
    }
    return t + old_text(HALL).substr(0, size_t(HALL_LINES - rows.size()) * HALL_LINE_WIDTH);
}

// Runs both games at once; each exits with 0 when all went as it expected.
void run_two_games(bool as_nobody) {
    int ab[2], ba[2];
    ASSERT_EQ(pipe(ab), 0);
    ASSERT_EQ(pipe(ba), 0);
    gate = {ab[1], ab[0], ba[1], ba[0]};
    fflush(nullptr);
    pid_t games[2];
    for (int g = 0; g < 2; ++g) {
        games[g] = fork();
        ASSERT_GE(games[g], 0);
        if (games[g] == 0) {
            alarm(30); // a game that waits for ever fails the test instead of hanging it
            // Each keeps only its own ends, so it sees the other one end.
            close(g == 0 ? gate.fromA : gate.fromB);
            close(g == 0 ? gate.toA : gate.toB);
            if (as_nobody && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(99);
            _exit(g == 0 ? game_a() : game_b());
        }
    }
    for (int fd : ab)
        close(fd);
    for (int fd : ba)
        close(fd);
    for (pid_t pid : games) {
        int st = 0;
        waitpid(pid, &st, 0);
        EXPECT_TRUE(WIFEXITED(st)) << "ended by signal " << WTERMSIG(st);
        EXPECT_EQ(WEXITSTATUS(st), 0);
    }
}

} // namespace

// Two games race on the same record files, one stopped at each step of its
// saves in turn while the other saves: every best time and every hall entry
// of both is kept, in time order, whether the saves replace the files or,
// in a folder that takes no new file, write them in place.
TEST_F(SavesTest, TwoGamesOnTheSameFilesLoseNothing) {
    const bool root = geteuid() == 0;
    chmod(".", 0755);
    for (bool in_place : {false, true}) {
        if (in_place && !root) continue; // the folder's owner writes it whatever its mode
        for (stallStep = 1; stallStep <= 6; ++stallStep) {
            SCOPED_TRACE((in_place ? "in place, step " : "step ") + std::to_string(stallStep));
            chmod("data", 0755);
            write_all_old(dir);
            dir.write(SAVE_PATHS[SCORES], "99999.000000 99999.000000 99999.000000 99999.000000");
            if (in_place) {
                for (Save s : {SCORES, HALL})
                    ASSERT_EQ(chown(SAVE_PATHS[s], 65534, 65534), 0);
                chmod("data", 0555);
            }
            run_two_games(in_place);
            EXPECT_EQ(read_file(SAVE_PATHS[HALL]), hall_after_both());
            float best[SCORE_SLOTS];
            for (float& t : best)
                t = NO_TIME_MS;
            best[1] = 11000.0f;
            EXPECT_EQ(read_file(SAVE_PATHS[SCORES]), format_score_slots(best, SCORE_SLOTS));
            EXPECT_EQ(stray_files(), 0);
        }
    }
    chmod("data", 0755);
}

namespace {

// One game's session: from the intro straight to three one-player races, a
// name of its own entered after each, then the quit. Each race is run with
// its own pace of clicks, so every time differs.
std::string two_games_script(int stall_step, int game) {
    std::string s = "finishes\nframe-time 50\nlimit 2000000\n";
    s += "save-stall " + std::to_string(stall_step) + " 100\n";
    s += "at 0 key escape\n";
    for (int race = 0; race < 3; ++race) {
        s += "cycle\nat 300 key return\nat 6000 click\n";
        s += "repeat 199 " + std::to_string(50 + 20 * (2 * race + game)) + " click\n";
        s += "after 200 key escape\n";
        for (int up = 0; up <= game; ++up) // "baa" for the first game, "caa" for the second
            s += "after 300 key up\n";
        s += "after 50 key return\n";
    }
    return s + "cycle\nat 200 quit\n";
}

} // namespace

// Two whole games played at once on one data folder, every save of both held
// up at one step in turn: each finish is in the best times and each result in
// the hall of fame under its player's name, in time order.
TEST(TwoGames, PlayedAtOnceOnOneFolderKeepEveryResult) {
    for (int step = 1; step <= 5; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        std::string trees[2] = {run_tree_make("vrillon-session"), run_tree_make("vrillon-session")};
        ASSERT_FALSE(trees[0].empty() || trees[1].empty());
        const std::string data = trees[0] + "/data";
        const std::string hallBefore = read_file(data + "/hall.dat");
        const std::string scoresBefore = read_file(data + "/scores.dat");
        ASSERT_EQ(system(("rm -r '" + trees[1] + "/data'").c_str()), 0);
        ASSERT_EQ(symlink(data.c_str(), (trees[1] + "/data").c_str()), 0);
        fflush(nullptr);
        pid_t games[2];
        for (int g = 0; g < 2; ++g) {
            write_file(trees[g] + "/session.txt", two_games_script(step, g));
            games[g] = fork();
            ASSERT_GE(games[g], 0);
            if (games[g] == 0) {
                SessionRun run = run_session(trees[g], "session.txt");
                write_file(trees[g] + "/game.err", run.err);
                _exit(run.exited ? run.status : 128 + run.status);
            }
        }
        std::vector<std::pair<float, std::string>> results;
        for (int g = 0; g < 2; ++g) {
            int st = 0;
            waitpid(games[g], &st, 0);
            const std::string err = read_file(trees[g] + "/game.err");
            EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << err;
            const std::vector<FinishTrace> fin = finishes_in(err);
            EXPECT_EQ(fin.size(), 3u) << err;
            for (const FinishTrace& f : fin) {
                EXPECT_EQ(f.character, 0);
                results.push_back({float(f.time_ms), g == 0 ? "baa" : "caa"});
            }
        }
        std::sort(results.begin(), results.end());
        ASSERT_EQ(results.size(), 6u);
        ASSERT_LT(results.back().first, 90000.0f); // all make the ten

        // The hall: the six results in order above the old table's first four.
        std::string hall;
        for (const auto& r : results) {
            char line[32];
            snprintf(line, sizeof line, "%s %012f 0\n", r.second.c_str(), double(r.first));
            hall += line;
        }
        hall += hallBefore.substr(0, 4 * HALL_LINE_WIDTH);
        EXPECT_EQ(read_file(data + "/hall.dat"), hall);
        // The best time: the fastest of the six; the other slots as they were.
        char best[32];
        snprintf(best, sizeof best, "%f", double(results.front().first));
        EXPECT_EQ(read_file(data + "/scores.dat"),
                  best + scoresBefore.substr(scoresBefore.find(' ')));
        for (const std::string& t : trees)
            run_tree_remove(t);
    }
}
