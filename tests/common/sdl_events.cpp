#include "common/sdl_events.h"

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

// SDL 1.2 guards its event queue with a lock: any thread may push this one.
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
