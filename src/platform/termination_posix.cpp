// Termination requests on POSIX systems: SIGTERM, SIGINT and SIGHUP.
#include "platform/system.h"
#include "platform/termination.h"

#include <csignal>
#include <cstring>

namespace {
void on_termination(int sig) {
    note_termination(sig);
}
} // namespace

void install_termination_handlers() {
    // Installed before SDL starts, so SDL leaves them in place: its own
    // handlers would turn the signal into a window close, which the intro
    // takes for "skip the intro".
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = on_termination;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}
