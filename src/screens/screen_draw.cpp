#include "screens/screen_draw.h"

#include "shell/platform.h"

#include <cstdio>

void format_seconds(float time_ms, char* out, size_t size) {
    snprintf(out, size, "%.3f", time_ms / 1000);
}

void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y) {
    if (!screen || !picture) return;
    SDL_Rect at = {Sint16(x), Sint16(y), Uint16(picture->w), Uint16(picture->h)};
    SDL_BlitSurface(picture, nullptr, screen, &at);
}

TTF_Font* open_screen_font(const char* file, int ptsize, int style) {
    TTF_Font* font = font_open(file, ptsize);
    if (!font) fatal("Erreur de chargement de la police %s : %s\n", file, TTF_GetError());
    TTF_SetFontStyle(font, style);
    return font;
}

SDL_Surface* screen_after_switch() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) fatal("Erreur de création de la fenêtre 640x240 : %s\n", SDL_GetError());
    return screen;
}

SDL_Color white_colour() {
    SDL_Color c = {255, 255, 255, 0};
    return c;
}
