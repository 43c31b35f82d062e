// The Windows counterparts of the termination signals: the console's Ctrl+C
// and Ctrl+Break, its window closed, the user logging off and the system
// shutting down all end the game as SIGINT and SIGTERM do on POSIX.
#include "shell/system.h"

#include <csignal>
#include <windows.h>

namespace {
BOOL WINAPI on_console_event(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        note_termination(SIGINT);
        return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        // The process ends as soon as this returns: wait for the game to save
        // and end by itself (the system allows about five seconds).
        note_termination(SIGTERM);
        Sleep(10000);
        return TRUE;
    default:
        return FALSE;
    }
}
} // namespace

void install_termination_handlers() {
    SetConsoleCtrlHandler(on_console_event, TRUE);
}
