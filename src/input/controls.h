// The four players' input assignments, their file and their validity rules.
#pragma once

#include "input/input.h"
#include "tables/players.h"

#include <cstdint>

struct PlayerControl {
    bool active;
    int32_t character;
    int32_t button1;
    int32_t button2;
    int32_t joystick;
    int32_t nextButton;
    int32_t kind;
    int32_t key;
};

extern const char* const CONTROL_PATH; // "data/control.dat"

// The values the records hold before the file is read.
void default_controls(PlayerControl controls[PLAYERS]);
// save false: reads the file into the six stored fields (then brings them into
// range); save true: writes them. A missing file is fatal.
void load_save_controls(PlayerControl controls[PLAYERS], bool save);
// Brings every stored field into range (see the control file's rules).
void sanitize_controls(PlayerControl controls[PLAYERS]);
bool controls_conflict(const PlayerControl controls[PLAYERS]);
// The race's press test for one row: true when the row presses this frame.
// Updates nextButton and clears the flags the row's kind uses.
bool take_press(PlayerControl& row, InputSnapshot& in);
// Press test alone, without side effects.
bool is_pressing(const PlayerControl& row, const InputSnapshot& in);
// Start-up defaults from the joystick count (row < n joystick, row n mouse, rest keyboard).
void assign_default_kinds(PlayerControl controls[PLAYERS], int joysticks);
// Before each main menu: nextButton 0, joystick 0 on rows without their own joystick.
void reset_controls_for_menu(PlayerControl controls[PLAYERS], int joysticks);
