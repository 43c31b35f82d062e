// The window on Debian and other POSIX systems: SDL's own. The Linux launcher
// enlarges it through sdl12-compat, out of the game's sight.
#include "platform/video.h"

SDL_Surface* set_video_mode(int width, int height, int bpp, Uint32 flags) {
    return SDL_SetVideoMode(width, height, bpp, flags);
}

SDL_Surface* video_surface() {
    return SDL_GetVideoSurface();
}

int show_frame(SDL_Surface* screen) {
    return SDL_Flip(screen);
}
