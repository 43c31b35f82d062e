// The latched input snapshot: one was-pressed flag per key, joystick button,
// mouse button and the quit request.
#pragma once

#include <SDL/SDL.h>
#include <cstdint>

constexpr int SNAP_KEYS = 323; // SDLK_LAST
constexpr int SNAP_JOYSTICKS = 4;
constexpr int SNAP_JOY_BUTTONS = 10;
constexpr int SNAP_MOUSE_BUTTONS = 8;
constexpr int SNAP_FLAGS = 372;

struct InputSnapshot {
    uint8_t keys[SNAP_KEYS];
    uint8_t joyButtons[SNAP_JOYSTICKS][SNAP_JOY_BUTTONS];
    uint8_t mouseButtons[SNAP_MOUSE_BUTTONS];
    uint8_t quit;
};
static_assert(sizeof(InputSnapshot) == SNAP_FLAGS, "snapshot flags are contiguous");

void clear_input(InputSnapshot& in);
void poll_input(InputSnapshot& in);
// Flag at its flat position 0-371 (null past the end).
uint8_t* snapshot_flag(InputSnapshot& in, int position);
