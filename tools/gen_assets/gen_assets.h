// Makes the game's run-time files from source.
#pragma once

#include <string>

// pics/pics.dat (every picture, by number) and pics/sonic.bmp under dir. False
// on error.
bool make_pictures(const std::string& dir);
// sounds/* under dir.
bool make_sounds(const std::string& dir);
// data/control.dat, data/scores.dat, data/hall.dat under dir.
bool make_data(const std::string& dir);
