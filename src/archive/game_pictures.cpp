#include "archive/game_pictures.h"

#include "archive/archive.h"
#include "platform/system.h"

SDL_Surface* load_picture(const uint32_t* indexTab, int number, const char* message) {
    SDL_Surface* p = reload_pic(indexTab, number);
    if (!p) fatal(message, SDL_GetError());
    return p;
}

void load_portraits(const uint32_t* indexTab, const char* prefix,
                    SDL_Surface* portraits[CHARACTER_COUNT]) {
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        portraits[c] = reload_pic(indexTab, CHARACTER_TABLE[c].portrait);
        if (!portraits[c])
            fatal("%sErreur de chargement de %s.bmp : %s\n", prefix, CHARACTER_TABLE[c].name,
                  SDL_GetError());
    }
}

void load_device_pictures(const uint32_t* indexTab, SDL_Surface* pictures[INPUT_KINDS]) {
    // In this order: the first one missing is the one reported.
    pictures[INPUT_JOYSTICK] =
        load_picture(indexTab, PIC_JOYSTICK, "MENU / Erreur de chargement de joystick.jpeg : %s\n");
    pictures[INPUT_MOUSE] =
        load_picture(indexTab, PIC_SOURIS, "MENU / Erreur de chargement de souris.jpeg : %s\n");
    pictures[INPUT_KEYBOARD] =
        load_picture(indexTab, PIC_CLAVIER, "MENU / Erreur de chargement de clavier.jpeg : %s\n");
}
