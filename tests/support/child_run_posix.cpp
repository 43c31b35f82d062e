#include "support/support.h"

#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

ChildRun run_child(int (*body)()) {
    fflush(stdout);
    int fds[2];
    ChildRun r = {false, -1, ""};
    if (pipe(fds) != 0) return r;
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        dup2(fds[1], 1);
        close(fds[1]);
        int code = body();
        fflush(stdout);
        _exit(code);
    }
    close(fds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        r.out.append(buf, size_t(n));
    close(fds[0]);
    int st = 0;
    waitpid(pid, &st, 0);
    r.exited = WIFEXITED(st);
    r.status = r.exited ? WEXITSTATUS(st) : -1;
    return r;
}

int run_command(const std::string& command, std::string* out) {
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return -1;
    std::string text;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        text.append(buf, n);
    int status = pclose(p);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
