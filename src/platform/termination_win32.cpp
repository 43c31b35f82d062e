// The Windows counterparts of the termination signals. The C library's SIGINT,
// SIGBREAK and SIGTERM (the console's Ctrl+C and Ctrl+Break, and a raise);
// the console's window closed, the user logging off and the system shutting
// down come to the console handler alone. All end the game as SIGINT and
// SIGTERM do on POSIX.
#include "platform/system.h"
#include "platform/termination.h"

#include <csignal>
#include <windows.h>

namespace {
void on_signal(int sig) {
    // The C library resets a handler once it has run.
    signal(sig, on_signal);
    note_termination(sig);
}

BOOL WINAPI on_console_event(DWORD event) {
    switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends as soon as this returns: wait for the game to end
        // by itself (the system allows about five seconds).
        note_termination(SIGTERM);
        Sleep(10000);
        return TRUE;
    default:
        return FALSE; // Ctrl+C and Ctrl+Break go on to the C library's signals
    }
}
} // namespace

void install_termination_handlers() {
    signal(SIGINT, on_signal);
    signal(SIGBREAK, on_signal);
    signal(SIGTERM, on_signal);
    SetConsoleCtrlHandler(on_console_event, TRUE);
}
