#include "input/input.h"

#include "platform/system.h"

#include <cstring>

void clear_input(InputSnapshot& in) {
    std::memset(&in, 0, sizeof in);
}

// Presses only: releases, motion, axes and the rest are dropped. Events that
// have no flag of their own (a fifth joystick, button 10, mouse wheel beyond
// button 7) are dropped too, so they can never touch a neighbouring group.
static void record_event(InputSnapshot& in, const SDL_Event& ev) {
    switch (ev.type) {
    case SDL_KEYDOWN: {
        int sym = ev.key.keysym.sym;
        if (sym >= 0 && sym < SNAP_KEYS) in.keys[sym] = 1;
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        if (ev.button.button < SNAP_MOUSE_BUTTONS) in.mouseButtons[ev.button.button] = 1;
        break;
    case SDL_JOYBUTTONDOWN:
        if (ev.jbutton.which < SNAP_JOYSTICKS && ev.jbutton.button < SNAP_JOY_BUTTONS)
            in.joyButtons[ev.jbutton.which][ev.jbutton.button] = 1;
        break;
    case SDL_QUIT:
        in.quit = 1;
        break;
    default:
        break;
    }
}

void poll_input(InputSnapshot& in) {
    SDL_Event ev;
    while (game_poll_event(&ev))
        record_event(in, ev);
}

uint8_t* snapshot_flag(InputSnapshot& in, int position) {
    if (position < 0 || position >= SNAP_FLAGS) return nullptr;
    return reinterpret_cast<uint8_t*>(&in) + position;
}
