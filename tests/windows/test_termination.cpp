// The console's keys and the C library's signals end the game on Windows as
// the termination signals do on POSIX: each sets the request every screen
// polls. (A log-off reaches the game's window: play_under_wine.sh's logoff.)
#include <gtest/gtest.h>

#include <csignal>
#include <windows.h>

#include "platform/system.h"

namespace {

// The console's handlers run on a thread of their own: the request comes a
// moment later.
bool requested_within(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 10) {
        if (termination_requested()) return true;
        Sleep(10);
    }
    return termination_requested();
}

} // namespace

TEST(Termination, SignalsAndConsoleKeysEndTheGame) {
    install_termination_handlers();
    ASSERT_FALSE(termination_requested());
    // Each signal twice: the C library resets a handler once it has run.
    for (int sig : {SIGINT, SIGBREAK, SIGTERM, SIGINT, SIGBREAK, SIGTERM}) {
        raise(sig);
        EXPECT_TRUE(termination_requested()) << "signal " << sig;
        clear_termination_request();
    }
    // A console of this test's own, so the keys reach nobody else.
    FreeConsole();
    ASSERT_TRUE(AllocConsole()) << GetLastError();
    // Twice, as above. (Wine refuses to send Ctrl+Break to a whole console;
    // the C library turns it into SIGBREAK, tested above.)
    for (int time = 0; time < 2; ++time) {
        ASSERT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) << GetLastError();
        EXPECT_TRUE(requested_within(5000)) << "Ctrl+C, time " << time;
        clear_termination_request();
    }
}
