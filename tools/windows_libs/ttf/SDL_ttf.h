// SDL_ttf 2.0's text calls the game makes, over FreeType: installed as
// SDL/SDL_ttf.h where Debian's SDL_ttf 2.0 cannot be built (the Windows
// build). Renders what SDL_ttf 2.0.11 renders, pixel for pixel.
#ifndef VRILLON_SDL_TTF_H
#define VRILLON_SDL_TTF_H

#include "SDL.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TTF_Font TTF_Font;

#define TTF_STYLE_NORMAL 0x00
#define TTF_STYLE_BOLD 0x01
#define TTF_STYLE_ITALIC 0x02
#define TTF_STYLE_UNDERLINE 0x04
#define TTF_STYLE_STRIKETHROUGH 0x08

// Counted: every TTF_Init wants its TTF_Quit.
int TTF_Init(void);
int TTF_WasInit(void);
void TTF_Quit(void);

TTF_Font* TTF_OpenFont(const char* file, int ptsize);
void TTF_CloseFont(TTF_Font* font);

int TTF_GetFontStyle(const TTF_Font* font);
void TTF_SetFontStyle(TTF_Font* font, int style);
int TTF_FontHeight(const TTF_Font* font);
int TTF_FontAscent(const TTF_Font* font);
int TTF_FontDescent(const TTF_Font* font);
int TTF_FontLineSkip(const TTF_Font* font);

// Texts are Latin-1: one byte, one character.
int TTF_SizeText(TTF_Font* font, const char* text, int* w, int* h);
// An 8-bit surface: colour 0 the transparent background, colour 1 the text.
SDL_Surface* TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color fg);

#define TTF_SetError SDL_SetError
#define TTF_GetError SDL_GetError

#ifdef __cplusplus
}
#endif

#endif
