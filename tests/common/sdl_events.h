// The events a player makes, pushed on SDL's queue as the system would.
#pragma once

#include <SDL/SDL.h>

void push_key(SDLKey sym, SDLMod mod = KMOD_NONE);
void push_key_up(SDLKey sym);
void push_mouse_button(Uint8 button);
void push_joy_button(Uint8 which, Uint8 button);
void push_quit();
void drain_events();
