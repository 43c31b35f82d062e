#include "support/support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <sys/stat.h>
#include <sys/wait.h>

ScratchGameDir::ScratchGameDir(bool with_assets, bool with_data) {
    char cwd[4096];
    previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
    path = run_tree_make("vrillon-test",
                         (with_assets ? RUN_TREE_ASSETS : 0) | (with_data ? RUN_TREE_DATA : 0));
    if (path.empty() || chdir(path.c_str()) != 0) ADD_FAILURE() << "no scratch run-time tree";
}

ScratchGameDir::~ScratchGameDir() {
    if (chdir(previous.c_str()) != 0) perror("chdir");
    run_tree_remove(path);
}

void ScratchGameDir::write(const std::string& rel, const std::string& text) const {
    std::ofstream f(path + "/" + rel, std::ios::binary | std::ios::trunc);
    f << text;
}

std::string ScratchGameDir::read(const std::string& rel) const {
    std::ifstream f(path + "/" + rel, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

bool ScratchGameDir::exists(const std::string& rel) const {
    struct stat st;
    return stat((path + "/" + rel).c_str(), &st) == 0;
}

void ScratchGameDir::remove(const std::string& rel) const {
    std::string cmd = "rm -rf '" + path + "/" + rel + "'";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "remove failed\n");
}

SDL_Surface* start_test_video() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) != 0) return nullptr;
    return SDL_SetVideoMode(640, 240, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
}

void stop_test_video() {
    SDL_Quit();
}

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

Uint32 pixel_at(SDL_Surface* s, int x, int y) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0xFFFFFFFFu;
    SDL_LockSurface(s);
    Uint32 v = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    SDL_UnlockSurface(s);
    return v & 0x00FFFFFFu;
}
