// The drawing helpers of platform/video.h: plain SDL, the same on every system.
#include "platform/video.h"

#include "platform/system.h"

void draw_picture(SDL_Surface* screen, SDL_Surface* picture, int x, int y) {
    if (!screen || !picture) return;
    SDL_Rect at = {Sint16(x), Sint16(y), Uint16(picture->w), Uint16(picture->h)};
    SDL_BlitSurface(picture, nullptr, screen, &at);
}

void fill_black(SDL_Surface* surface, SDL_Rect* rect) {
    SDL_FillRect(surface, rect, SDL_MapRGB(surface->format, 0, 0, 0));
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

void set_colour_key(SDL_Surface* picture, Uint32 key, const char* prefix, const char* name) {
    if (SDL_SetColorKey(picture, SDL_SRCCOLORKEY, key) != 0)
        fatal("%sErreur d'application de la transparence %s : %s\n", prefix, name, SDL_GetError());
}

TTF_Font* open_screen_font(const char* file, int ptsize, int style) {
    TTF_Font* font = font_open(file, ptsize);
    if (!font) fatal("Erreur de chargement de la police %s : %s\n", file, TTF_GetError());
    TTF_SetFontStyle(font, style);
    return font;
}

SDL_Surface* switch_display(bool& fullscreen) {
    toggle_display_mode(fullscreen);
    return screen_after_switch();
}

SDL_Surface* screen_after_switch() {
    SDL_Surface* screen = video_surface();
    if (!screen) fatal("Erreur de création de la fenêtre 640x240 : %s\n", SDL_GetError());
    return screen;
}
