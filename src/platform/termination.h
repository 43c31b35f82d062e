// What each system's file for the termination requests gives and uses
// (termination_posix.cpp, termination_win32.cpp): it installs the handlers,
// which call note_termination. install_termination_handlers itself is in system.h.
#pragma once

// Notes that the system asked the game to end (sig: the signal's number, for
// the record); safe inside a signal handler.
void note_termination(int sig);
