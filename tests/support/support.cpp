#include "support/support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <system_error>

namespace fs = std::filesystem;

ScratchGameDir::ScratchGameDir(bool with_assets, bool with_data) {
    std::error_code err;
    previous = fs::current_path(err).u8string();
    if (err) previous = ".";
    path = run_tree_make("vrillon-test",
                         (with_assets ? RUN_TREE_ASSETS : 0) | (with_data ? RUN_TREE_DATA : 0));
    if (!path.empty()) fs::current_path(fs::u8path(path), err);
    if (path.empty() || err) ADD_FAILURE() << "no scratch run-time tree";
}

ScratchGameDir::~ScratchGameDir() {
    std::error_code err;
    fs::current_path(fs::u8path(previous), err);
    if (err) fprintf(stderr, "cannot go back to %s: %s\n", previous.c_str(), err.message().c_str());
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
    std::error_code err;
    fs::remove_all(fs::u8path(path + "/" + rel), err);
    if (err) fprintf(stderr, "remove failed: %s\n", err.message().c_str());
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

Uint32 pixel_at(SDL_Surface* s, int x, int y) {
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return 0xFFFFFFFFu;
    SDL_LockSurface(s);
    Uint32 v = *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4);
    SDL_UnlockSurface(s);
    return v & 0x00FFFFFFu;
}
