#include "screens/screen_common.h"

#include "archive/archive.h"
#include "platform/system.h"
#include "platform/video.h"

#include <cstdio>

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

void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y) {
    if (!screen || !picture) return;
    SDL_Rect at = {Sint16(x), Sint16(y), Uint16(picture->w), Uint16(picture->h)};
    SDL_BlitSurface(picture, nullptr, screen, &at);
}

void fill_black(SDL_Surface* surface, SDL_Rect* rect) {
    SDL_FillRect(surface, rect, SDL_MapRGB(surface->format, 0, 0, 0));
}

void format_seconds(float time_ms, char* out, size_t size) {
    snprintf(out, size, "%.3f", time_ms / 1000);
}

TTF_Font* open_screen_font(const char* file, int ptsize, int style) {
    TTF_Font* font = font_open(file, ptsize);
    if (!font) fatal("Erreur de chargement de la police %s : %s\n", file, TTF_GetError());
    TTF_SetFontStyle(font, style);
    return font;
}

SDL_Color white_colour() {
    SDL_Color c = {255, 255, 255, 0};
    return c;
}

SDL_Color black_colour() {
    SDL_Color c = {0, 0, 0, 0};
    return c;
}

Uint32 key_grey(const SDL_Surface* surface) {
    return SDL_MapRGB(surface->format, 125, 125, 125);
}

bool alt_f4_held(const InputSnapshot& in) {
    return in.keys[SDLK_F4] && in.keys[SDLK_LALT];
}

bool take_alt_f4(InputSnapshot& in) {
    if (!alt_f4_held(in)) return false;
    in.keys[SDLK_F4] = 0;
    in.keys[SDLK_LALT] = 0;
    return true;
}

SDL_Surface* switch_display(bool& fullscreen) {
    toggle_display_mode(fullscreen);
    return screen_after_switch();
}

SDL_Surface* screen_after_switch() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) fatal("Erreur de création de la fenêtre 640x240 : %s\n", SDL_GetError());
    return screen;
}
