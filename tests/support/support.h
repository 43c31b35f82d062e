// Helpers shared by the tests: a scratch run-time directory and real SDL events.
#pragma once

#include "common/run_tree.h"
#include "common/sdl_events.h"

#include <SDL/SDL.h>
#include <string>

// A scratch run-time tree (common/run_tree.h), with or without the pictures,
// sounds and fonts and the record files, as the working directory. The
// destructor goes back and removes it.
struct ScratchGameDir {
    ScratchGameDir(bool with_assets = true, bool with_data = true);
    ~ScratchGameDir();
    std::string path;
    std::string previous;
    // Writes text to a file relative to the scratch directory.
    void write(const std::string& rel, const std::string& text) const;
    std::string read(const std::string& rel) const;
    bool exists(const std::string& rel) const;
    void remove(const std::string& rel) const;
};

// Starts SDL video (dummy driver) and sets a 640 x 240 x 32 mode; returns it.
SDL_Surface* start_test_video();
void stop_test_video();

// How a forked child ended and what it wrote to standard output.
struct ChildRun {
    bool exited;     // ended by exit(), not by a signal
    int status;      // its exit status
    std::string out; // everything it wrote to standard output
};
// Runs body in a child process (the game ends the process on a fatal error);
// its return value becomes the exit status.
ChildRun run_child(int (*body)());

// Reads a pixel (0x00RRGGBB) of a 32-bit surface.
Uint32 pixel_at(SDL_Surface* s, int x, int y);
