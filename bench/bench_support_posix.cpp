#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

double process_cpu_seconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

long child_peak_memory_kb(const std::string& program, const std::string& script,
                          const std::string& dir, std::string& why) {
    if (access(program.c_str(), X_OK) != 0) {
        why = "no session_runner at " + program;
        return -1;
    }
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        if (chdir(dir.c_str()) != 0) _exit(126);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        execl(program.c_str(), program.c_str(), script.c_str(), (char*)nullptr);
        _exit(127);
    }
    if (pid < 0) {
        why = "cannot start session_runner";
        return -1;
    }
    int status = 0;
    rusage ru{};
    if (wait4(pid, &status, 0, &ru) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        why = "the session did not end normally";
        return -1;
    }
    return ru.ru_maxrss;
}
