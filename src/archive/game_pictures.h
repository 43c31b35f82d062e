// The pictures the screens and the race load alike, each with its fatal
// message: a screen has nothing to show without them.
#pragma once

#include "tables/characters.h"
#include "tables/players.h"

#include <SDL/SDL.h>
#include <cstdint>

// A picture from the archive; one that cannot be loaded ends the program with
// the message (a format whose %s takes the SDL error).
SDL_Surface* load_picture(const uint32_t* indexTab, int number, const char* message);
// Every character's portrait, in character order. One that cannot be loaded
// ends the program with PREFIX "Erreur de chargement de NAME.bmp : " and the
// SDL error, PREFIX naming the screen ("MAIN / ", "MENU / ", "HALL / ").
void load_portraits(const uint32_t* indexTab, const char* prefix,
                    SDL_Surface* portraits[CHARACTER_COUNT]);
// The input kinds' pictures (keyboard, mouse, joystick), by kind, as the main
// menu and the controls screen show them.
void load_device_pictures(const uint32_t* indexTab, SDL_Surface* pictures[INPUT_KINDS]);
