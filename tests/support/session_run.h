// Whole scripted sessions for the reliability tests: the session runner
// played as a child process in a scratch run-time tree (common/run_tree.h).
#pragma once

#include "common/run_tree.h"

#include <string>
#include <vector>

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& text);
bool file_exists(const std::string& path);

struct SessionRun {
    bool exited;     // ended by exit, not by a signal
    int status;      // exit status, or the signal number when it did not exit
    std::string out; // standard output
    std::string err; // standard error
};

// Runs `session_runner SCRIPT` in dir (script relative to dir), optionally under
// a wrapper command such as valgrind, and waits for it.
SessionRun run_session(const std::string& dir, const std::string& script,
                       const std::vector<std::string>& wrapper = {});

// True when standard error holds a sanitizer's report.
bool sanitizer_report(const std::string& err);

// The "finish C T" lines the runner's `finishes` command prints, in order.
struct FinishTrace {
    int character;
    double time_ms;
};
std::vector<FinishTrace> finishes_in(const std::string& err);
