#include "support/session_run.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << text;
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

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

bool sanitizer_report(const std::string& err) {
    return err.find("AddressSanitizer") != std::string::npos ||
           err.find("LeakSanitizer") != std::string::npos ||
           err.find("runtime error:") != std::string::npos;
}

std::vector<FinishTrace> finishes_in(const std::string& err) {
    std::vector<FinishTrace> found;
    std::istringstream lines(err);
    std::string line;
    while (std::getline(lines, line)) {
        FinishTrace f;
        if (sscanf(line.c_str(), "finish %d %lf", &f.character, &f.time_ms) == 2)
            found.push_back(f);
    }
    return found;
}
