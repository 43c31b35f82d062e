#include "input/screen_keys.h"

bool alt_f4_held(const InputSnapshot& in) {
    return in.keys[SDLK_F4] && in.keys[SDLK_LALT];
}

bool take_quit_request(InputSnapshot& in) {
    if (alt_f4_held(in)) {
        in.keys[SDLK_F4] = 0;
        in.keys[SDLK_LALT] = 0;
        return true;
    }
    return in.quit != 0;
}

bool take_key(InputSnapshot& in, SDLKey key) {
    if (!in.keys[key]) return false;
    in.keys[key] = 0;
    return true;
}

ScreenKey screen_key(const SDL_Event& ev) {
    if (ev.type == SDL_QUIT) return SCREEN_KEY_QUIT;
    if (ev.type != SDL_KEYDOWN) return SCREEN_KEY_NONE;
    switch (ev.key.keysym.sym) {
    case SDLK_ESCAPE:
        return SCREEN_KEY_BACK;
    case SDLK_F1:
        return SCREEN_KEY_DISPLAY;
    case SDLK_F4:
        // Left Alt alone: Num Lock or a second modifier make it an ordinary F4.
        return ev.key.keysym.mod == KMOD_LALT ? SCREEN_KEY_QUIT : SCREEN_KEY_NONE;
    default:
        return SCREEN_KEY_NONE;
    }
}
