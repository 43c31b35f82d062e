// The session runner as a child process on POSIX systems.
#include "support/session_run.h"

#include <cerrno>
#include <cstdlib>
#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

SessionRun run_session(const std::string& dir, const std::string& script,
                       const std::vector<std::string>& wrapper) {
    SessionRun r = {false, -1, "", ""};
    const std::string outPath = dir + "/session.out";
    const std::string errPath = dir + "/session.err";
    std::vector<std::string> words = wrapper;
    words.push_back(std::string(VRILLON_TOOLS_DIR) + "/session_runner");
    words.push_back(script);
    fflush(stdout);
    fflush(stderr);
    pid_t pid = fork();
    if (pid < 0) return r;
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(dir.c_str()) != 0) _exit(127);
        dup2(out, 1);
        dup2(err, 2);
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(&w[0]);
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int st = 0;
    while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
    }
    r.exited = WIFEXITED(st);
    r.status = r.exited ? WEXITSTATUS(st) : WTERMSIG(st);
    r.out = read_file(outPath);
    r.err = read_file(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    return r;
}
