// A stand-in for the game, installed in its place by the install tests: it
// reports what the launcher gave it (library, scaling, working directory,
// files) and shows a 640x240 pattern whose sharp one-pixel details reveal how
// the window is scaled. PROBE_SECONDS keeps the window up for screenshots.
#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

void put_pixel(SDL_Surface* s, int x, int y, Uint32 colour) {
    if (x < 0 || y < 0 || x >= s->w || y >= s->h) return;
    *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4) = colour;
}

void fill(SDL_Surface* s, int x, int y, int w, int h, Uint8 r, Uint8 g, Uint8 b) {
    SDL_Rect rect{Sint16(x), Sint16(y), Uint16(w), Uint16(h)};
    SDL_FillRect(s, &rect, SDL_MapRGB(s->format, r, g, b));
}

void draw_pattern(SDL_Surface* s, TTF_Font* font) {
    fill(s, 0, 0, 640, 240, 20, 30, 90);
    // Checkerboard of 8-pixel squares: two colours only, whatever the scale,
    // when the scaling keeps pixels square.
    SDL_LockSurface(s);
    Uint32 dark = SDL_MapRGB(s->format, 20, 30, 90), gold = SDL_MapRGB(s->format, 255, 200, 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 640; ++x)
            put_pixel(s, x, 176 + y, ((x / 8 + y / 8) & 1) ? gold : dark);
    // One-pixel lines, every other pixel: the finest detail there is.
    Uint32 white = SDL_MapRGB(s->format, 240, 240, 240);
    for (int x = 20; x < 620; x += 2)
        put_pixel(s, x, 150, white);
    for (int y = 60; y < 140; y += 2)
        put_pixel(s, 600, y, white);
    SDL_UnlockSurface(s);
    fill(s, 20, 60, 40, 40, 230, 40, 40);
    fill(s, 70, 60, 40, 40, 40, 200, 60);
    fill(s, 120, 60, 40, 40, 60, 120, 255);
    if (!font) return;
    const char* lines[] = {"Vrillon", "640 x 240, scaled by the launcher"};
    for (int i = 0; i < 2; ++i) {
        SDL_Surface* text = TTF_RenderText_Solid(font, lines[i], SDL_Color{255, 255, 255, 0});
        if (!text) continue;
        SDL_Rect at{Sint16(180), Sint16(50 + 36 * i), 0, 0};
        SDL_BlitSurface(text, nullptr, s, &at);
        SDL_FreeSurface(text);
    }
}

} // namespace

int main(int, char**) {
    char cwd[4096];
    printf("cwd %s\n", getcwd(cwd, sizeof cwd) ? cwd : "?");
    const char* vars[] = {"LD_LIBRARY_PATH", "SDL12COMPAT_WINDOW_SCALING",
                          "SDL12COMPAT_SCALE_METHOD"};
    for (const char* v : vars)
        printf("env %s=%s\n", v, getenv(v) ? getenv(v) : "");
    FILE* records = fopen("data/scores.dat", "r+");
    printf("records %s\n", records ? "ok" : "missing");
    if (records) fclose(records);

    if (SDL_Init(SDL_INIT_VIDEO) < 0 || TTF_Init() < 0) {
        printf("init failed: %s\n", SDL_GetError());
        return 1;
    }
    const SDL_version* v = SDL_Linked_Version();
    printf("sdl %d.%d.%d\n", v->major, v->minor, v->patch);
    TTF_Font* font = TTF_OpenFont("font/comic.ttf", 20);
    printf("font %s\n", font ? "ok" : "missing");
    SDL_Surface* screen = SDL_SetVideoMode(640, 240, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!screen) {
        printf("no window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_WM_SetCaption("Vrillon", nullptr);
    draw_pattern(screen, font);
    SDL_Flip(screen);
    printf("ready %dx%d\n", screen->w, screen->h);
    fflush(stdout);

    const char* seconds = getenv("PROBE_SECONDS");
    Uint32 until = SDL_GetTicks() + 1000u * Uint32(seconds ? atoi(seconds) : 0);
    bool done = false;
    while (!done && SDL_GetTicks() < until) {
        SDL_Event ev;
        while (SDL_PollEvent(&ev))
            if (ev.type == SDL_QUIT || ev.type == SDL_KEYDOWN) done = true;
        SDL_Flip(screen); // redraws an exposed window under either library
        SDL_Delay(20);
    }
    if (font) TTF_CloseFont(font);
    TTF_Quit();
    SDL_Quit();
    return 0;
}
