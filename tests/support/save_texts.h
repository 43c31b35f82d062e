// The three record files' saves the save tests run, on every system: which
// file, the text it holds before the save and the text the save writes.
#pragma once

#include <string>

enum Save { SCORES, HALL, CONTROLS };
extern const char* const SAVE_PATHS[3];

std::string old_text(Save s);
std::string new_text(Save s);
