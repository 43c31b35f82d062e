// vrillon_bench: the game's hot paths measured beside their floors, the bare
// SDL calls that the same work cannot avoid, in one run, headless. Prints
// Google Benchmark's table, then each figure and its ratio to its floor.
//
// Own options (before or among Google Benchmark's --benchmark_* ones):
//   --game_dir=DIR          the run-time tree whose pictures, sounds and fonts
//                           are used (default: the build's)
//   --data_dir=DIR          where fresh record files are copied from (default:
//                           the build's templates)
//   --session_runner=PATH   the session runner (default: the build's)
//   --idle_seconds=S        how long each idle screen is watched (default 3)
//   --quick                 one short run of everything, to prove it runs
//   --target_factor=F       every target multiplied by F (a tiny F shows
//                           what a miss does)
// By default every benchmark runs 5 times, the runs interleaved at random,
// and the summary gives medians.
// Exit status: 0; 1 when a benchmark could not run; 2 for a bad option; 3
// when a figure misses its target (never with --quick).
#include "bench_suites.h"
#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ext/stdio_filebuf.h>
#include <fcntl.h>
#include <map>
#include <ostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// What the summary needs from every run: seconds per iteration and counters.
struct Figures {
    std::vector<double> seconds;
    std::map<std::string, std::vector<double>> counters;
    bool failed = false;
};

std::map<std::string, Figures> figures;

// The console table as usual, keeping each run's figures for the summary.
struct SummaryReporter : benchmark::ConsoleReporter {
    explicit SummaryReporter(OutputOptions opts) : benchmark::ConsoleReporter(opts) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        benchmark::ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            Figures& f = figures[run.run_name.function_name];
            if (run.error_occurred) {
                f.failed = true;
                continue;
            }
            f.seconds.push_back(run.GetAdjustedRealTime() /
                                benchmark::GetTimeUnitMultiplier(run.time_unit));
            for (const auto& c : run.counters)
                f.counters[c.first].push_back(c.second.value);
        }
    }
};

double median(std::vector<double> v) {
    if (v.empty()) return -1;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Targets missed by the figures printed so far.
int missed = 0;
// Every target multiplied by this (--target_factor).
double targetFactor = 1.0;

const char* verdict(bool met) {
    if (!met) ++missed;
    return met ? "met" : "MISSED";
}

// "12.3 us" or "4.56 ms" as suits the size.
std::string duration(double seconds) {
    char buf[32];
    if (seconds < 0)
        snprintf(buf, sizeof buf, "n/a");
    else if (seconds < 1e-3)
        snprintf(buf, sizeof buf, "%.1f us", seconds * 1e6);
    else
        snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
    return buf;
}

// One figure beside its floor; a ratio target of 0 means none.
void print_pair(std::ostream& out, const char* label, const std::string& name, double maxRatio,
                double maxSeconds) {
    maxRatio *= targetFactor;
    maxSeconds *= targetFactor;
    const Figures& game = figures[name + "/game"];
    const Figures& floor = figures[name + "/floor"];
    double g = median(game.seconds), f = median(floor.seconds);
    char line[256];
    if (game.failed || floor.failed || g < 0 || f <= 0) {
        snprintf(line, sizeof line, "  %-28s did not run\n", label);
        out << line;
        return;
    }
    double ratio = g / f;
    std::string target;
    bool met = true;
    if (maxRatio > 0) {
        char t[64];
        snprintf(t, sizeof t, "target ratio <= %.3g", maxRatio);
        target = t;
        met = ratio <= maxRatio;
    }
    if (maxSeconds > 0) {
        char t[64];
        snprintf(t, sizeof t, "target < %.3g ms", maxSeconds * 1e3);
        target = t;
        met = g < maxSeconds;
    }
    snprintf(line, sizeof line, "  %-28s game %10s   floor %10s   ratio %5.2f   %s%s%s\n", label,
             duration(g).c_str(), duration(f).c_str(), ratio, target.c_str(),
             target.empty() ? "" : "   ", target.empty() ? "" : verdict(met));
    out << line;
}

void print_counter(std::ostream& out, const char* label, const std::string& name,
                   const std::string& counter, const char* unit, double limit) {
    limit *= targetFactor;
    const Figures& fig = figures[name];
    auto it = fig.counters.find(counter);
    char line[256];
    if (fig.failed || it == fig.counters.end()) {
        snprintf(line, sizeof line, "  %-28s did not run\n", label);
        out << line;
        return;
    }
    double v = median(it->second);
    if (limit > 0)
        snprintf(line, sizeof line, "  %-28s %8.2f %-12s target < %g %s   %s\n", label, v, unit,
                 limit, unit, verdict(v < limit));
    else
        snprintf(line, sizeof line, "  %-28s %8.2f %s\n", label, v, unit);
    out << line;
}

void print_summary(std::ostream& out) {
    out << "\nVrillon figures (medians; ratio = game / floor, measured side by side)\n";
    print_pair(out, "race frame", "race_frame", 1.2, 0);
    print_pair(out, "countdown frame", "countdown_frame", 1.2, 0);
    print_pair(out, "archive, 19 pictures", "archive_load", 2.0, 0);
    print_pair(out, "start-up to first menu frame", "start_up", 0, 0.150);
    print_pair(out, "name-entry frame", "name_entry_frame", 0, 0);
    print_pair(out, "zoom-in frame", "zoom_in_frame", 0, 0);
    print_counter(out, "controls screen idle", "idle/controls_screen", "cpu_percent", "% of a core",
                  1.0);
    print_counter(out, "hall-of-fame screen idle", "idle/hall_screen", "cpu_percent", "% of a core",
                  2.0);
    print_counter(out, "main menu idle", "idle/main_menu", "cpu_percent", "% of a core", 0);
    print_counter(out, "session peak memory", "session/peak_memory", "peak_rss_MB", "MB", 40.0);
    if (missed) out << "\n" << missed << (missed == 1 ? " target" : " targets") << " MISSED\n";
    out.flush();
}

const char* const TRACE_FILE = "traces.log";
int reportFd = -1;
bool finished = false;

// Where the game ended the run itself (its fatal errors exit at once): the
// last lines it printed say why.
void report_early_end() {
    if (finished) return;
    fflush(stdout);
    std::string text;
    if (FILE* f = fopen(TRACE_FILE, "rb")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) {
            text.append(buf, n);
            if (text.size() > 8192) text.erase(0, text.size() - 2048);
        }
        fclose(f);
    }
    if (text.size() > 2048) text.erase(0, text.size() - 2048);
    dprintf(reportFd >= 0 ? reportFd : 2,
            "\nvrillon_bench: the game ended the run; its last words:\n%s\n", text.c_str());
    scratch_tree_remove();
}

// Takes the options that are ours out of argv.
bool take_own_options(int& argc, char** argv, bool& quick) {
    BenchSettings& s = bench_settings();
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (strncmp(a, "--game_dir=", 11) == 0) {
            s.gameDir = a + 11;
        } else if (strncmp(a, "--data_dir=", 11) == 0) {
            s.dataDir = a + 11;
        } else if (strncmp(a, "--session_runner=", 17) == 0) {
            s.sessionRunner = a + 17;
        } else if (strncmp(a, "--idle_seconds=", 15) == 0) {
            s.idleSeconds = atof(a + 15);
            if (s.idleSeconds <= 0) {
                fprintf(stderr, "vrillon_bench: --idle_seconds wants a positive number\n");
                return false;
            }
        } else if (strncmp(a, "--target_factor=", 16) == 0) {
            targetFactor = atof(a + 16);
            if (targetFactor <= 0) {
                fprintf(stderr, "vrillon_bench: --target_factor wants a positive number\n");
                return false;
            }
        } else if (strcmp(a, "--quick") == 0) {
            quick = true;
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
    argv[argc] = nullptr;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Headless unless told otherwise (SDL_VIDEODRIVER=x11 under Xvfb, say).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    BenchSettings& settings = bench_settings();
    settings.gameDir = VRILLON_GAME_DIR;
    settings.dataDir = VRILLON_TEMPLATE_DIR "/data";
    settings.sessionRunner = VRILLON_SESSION_RUNNER;
    bool quick = false;
    if (!take_own_options(argc, argv, quick)) return 2;
    if (quick) settings.idleSeconds = 0.2;

    // Our defaults first, so that the same options given on the command line win.
    std::vector<char*> args = {argv[0]};
    static char reps[] = "--benchmark_repetitions=5";
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    static char minTime[] = "--benchmark_min_time=0.3";
    static char quickReps[] = "--benchmark_repetitions=1";
    static char quickTime[] = "--benchmark_min_time=0.001";
    if (quick) {
        args.push_back(quickReps);
        args.push_back(quickTime);
    } else {
        args.push_back(reps);
        args.push_back(interleave);
        args.push_back(minTime);
    }
    for (int i = 1; i < argc; ++i)
        args.push_back(argv[i]);
    int count = int(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 2;

    // The game prints its traces on standard output: they go to a file in the
    // scratch tree, and the report keeps a descriptor of its own.
    if (!scratch_tree_make()) return 2;
    fflush(stdout);
    int report = dup(1);
    int traces = open(TRACE_FILE, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (report < 0 || traces < 0 || dup2(traces, 1) < 0) {
        fprintf(stderr, "vrillon_bench: cannot set standard output aside\n");
        scratch_tree_remove();
        return 2;
    }
    close(traces);
    reportFd = report;
    // The game ends the process on a fatal error: its message is then shown.
    atexit(report_early_end);
    __gnu_cxx::stdio_filebuf<char> reportBuf(report, std::ios::out);
    std::ostream out(&reportBuf);

    register_race_benchmarks();
    register_screen_benchmarks();
    register_loading_benchmarks();

    SummaryReporter reporter(isatty(report) ? benchmark::ConsoleReporter::OO_ColorTabular
                                            : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&out);
    reporter.SetErrorStream(&out);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print_summary(out);

    bench_shell_down();
    finished = true;
    scratch_tree_remove();
    benchmark::Shutdown();
    // A benchmark that could not do its work is a fault. A missed target is
    // one too in a full run, so that it cannot scroll by unread; the quick
    // pass (the bench_smoke test) times too little to judge anything.
    for (const auto& f : figures)
        if (f.second.failed) return 1;
    return missed && !quick ? 3 : 0;
}
