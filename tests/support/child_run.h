// Runs game code that ends the process (a fatal start-up, a whole game) in a
// process of its own and reads back how it ended and what it printed: a
// forked child on POSIX (child_run_posix.cpp); on Windows the test program
// runs again for the same test, which gets that far and runs the body
// (child_run_win32.cpp). Call it from the body of a GoogleTest test.
#pragma once

#include <string>

struct ChildRun {
    bool exited;     // ended by exit(), not by a signal or a crash
    int status;      // its exit status
    std::string out; // everything it wrote to standard output
};

// Runs body in a child process; its return value becomes the exit status.
ChildRun run_child(int (*body)());

// Runs a command line through the system's shell, its error output thrown away,
// and gives its exit status (-1 when it did not exit); its standard output
// goes to *out, with POSIX line ends.
int run_command(const std::string& command, std::string* out = nullptr);
