#include "support/support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <sys/stat.h>

namespace {
void link_into(const std::string& dir, const char* name) {
    std::string from = std::string(VRILLON_GAME_DIR) + "/" + name;
    std::string to = dir + "/" + name;
    if (symlink(from.c_str(), to.c_str()) != 0) perror("symlink");
}
} // namespace

ScratchGameDir::ScratchGameDir(bool with_assets, bool with_data) {
    char cwd[4096];
    previous = getcwd(cwd, sizeof cwd) ? cwd : ".";
    char tmpl[] = "/tmp/vrillon-test-XXXXXX";
    path = mkdtemp(tmpl);
    if (with_assets) {
        // Pictures and sounds are copied (tests may damage them), fonts linked.
        std::string cmd = "cp -r '" + std::string(VRILLON_GAME_DIR) + "/pics' '" +
                          std::string(VRILLON_GAME_DIR) + "/sounds' '" + path + "/'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "copy of assets failed\n");
        link_into(path, "font");
    }
    if (with_data) {
        std::string cmd =
            "cp -r '" + std::string(VRILLON_TEMPLATE_DIR) + "/data' '" + path + "/data'";
        if (system(cmd.c_str()) != 0) fprintf(stderr, "copy of data failed\n");
    } else {
        mkdir((path + "/data").c_str(), 0755);
    }
    if (chdir(path.c_str()) != 0) perror("chdir");
}

ScratchGameDir::~ScratchGameDir() {
    if (chdir(previous.c_str()) != 0) perror("chdir");
    std::string cmd = "rm -rf '" + path + "'";
    if (system(cmd.c_str()) != 0) fprintf(stderr, "cleanup failed\n");
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

void push_key(SDLKey sym, SDLMod mod) {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYDOWN;
    ev.key.state = SDL_PRESSED;
    ev.key.keysym.sym = sym;
    ev.key.keysym.mod = mod;
    SDL_PushEvent(&ev);
}

void push_key_up(SDLKey sym) {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = SDL_KEYUP;
    ev.key.state = SDL_RELEASED;
    ev.key.keysym.sym = sym;
    SDL_PushEvent(&ev);
}

void push_mouse_button(Uint8 button) {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = button;
    ev.button.state = SDL_PRESSED;
    SDL_PushEvent(&ev);
}

void push_joy_button(Uint8 which, Uint8 button) {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = SDL_JOYBUTTONDOWN;
    ev.jbutton.which = which;
    ev.jbutton.button = button;
    ev.jbutton.state = SDL_PRESSED;
    SDL_PushEvent(&ev);
}

void push_quit() {
    SDL_Event ev;
    SDL_memset(&ev, 0, sizeof ev);
    ev.type = SDL_QUIT;
    SDL_PushEvent(&ev);
}

void drain_events() {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
    }
}

Uint32 pixel_at(SDL_Surface* s, int x, int y) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0xFFFFFFFFu;
    SDL_LockSurface(s);
    Uint32 v = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    SDL_UnlockSurface(s);
    return v & 0x00FFFFFFu;
}
