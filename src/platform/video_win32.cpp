// The window on Windows. The classic SDL 1.2 shows a 640 x 240 window as it
// is, a postage stamp on today's screens, and its full screen asks the
// display for a mode of that size. Here the game still draws on a surface of
// the size it asked for, its frame, while the window is that size times the
// largest whole factor that fits the desktop's work area (VRILLON_SCALE, 1 to
// 16, chooses another), and full screen keeps the desktop's own resolution,
// the frame enlarged by the largest whole factor that fits and centred on
// black. Each pixel becomes a square block, so the pictures stay sharp. The
// game reads the mouse's buttons alone, never its position, so nothing else
// needs to know.
//
// Under any other video driver (the dummy one of the tests and sessions) the
// frame is the screen itself.
//
// The window also hears the session end: a log-off or a shutdown asks every
// window first, and the game takes the question as a termination signal
// (termination.h), ending at its next event poll as on POSIX.
#include "platform/video.h"

#include "platform/termination.h"

#include <SDL/SDL_syswm.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <windows.h>

namespace {

SDL_Surface* frame = nullptr; // null when the game draws on the screen itself
int factor = 1;
int offsetX = 0;
int offsetY = 0;

void drop_frame() {
    if (frame) SDL_FreeSurface(frame);
    frame = nullptr;
}

bool drawn_by_windows() {
    char name[32];
    if (!SDL_VideoDriverName(name, sizeof name)) return false;
    return strcmp(name, "windib") == 0 || strcmp(name, "directx") == 0;
}

// The player's own factor, 0 when none is set.
int chosen_factor() {
    const char* text = getenv("VRILLON_SCALE");
    if (!text) return 0;
    char* end = nullptr;
    const long n = strtol(text, &end, 10);
    return end != text && *end == '\0' && n >= 1 && n <= 16 ? int(n) : 0;
}

// The largest whole factor whose window, with its frame and title bar, fits
// the work area (the desktop without its task bar).
int window_factor(int width, int height, Uint32 flags) {
    RECT work;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return 1;
    // SDL's own window styles.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (flags & SDL_RESIZABLE) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    RECT outside = {0, 0, 0, 0};
    AdjustWindowRectEx(&outside, style, FALSE, 0);
    const int room_w = (work.right - work.left) - (outside.right - outside.left);
    const int room_h = (work.bottom - work.top) - (outside.bottom - outside.top);
    const int n = room_w / width < room_h / height ? room_w / width : room_h / height;
    return n < 1 ? 1 : n;
}

HWND heardWindow = nullptr;
WNDPROC sdlProcedure = nullptr;

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_QUERYENDSESSION) {
        note_termination(SIGTERM);
        return TRUE;
    }
    return CallWindowProcW(sdlProcedure, window, message, w, l);
}

// Puts on_message before SDL's own handling of the window's messages.
void hear_session_end() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) != 1 || !info.window || info.window == heardWindow) return;
    sdlProcedure = WNDPROC(GetWindowLongPtrW(info.window, GWLP_WNDPROC));
    if (sdlProcedure && SetWindowLongPtrW(info.window, GWLP_WNDPROC, LONG_PTR(on_message)))
        heardWindow = info.window;
}

// Enlarges the frame into the screen, each pixel a factor x factor block.
void enlarge(SDL_Surface* screen) {
    const int bpp = frame->format->BytesPerPixel;
    const int rowBytes = frame->w * bpp * factor;
    const Uint8* from = static_cast<const Uint8*>(frame->pixels);
    Uint8* to = static_cast<Uint8*>(screen->pixels) + offsetY * screen->pitch + offsetX * bpp;
    for (int y = 0; y < frame->h; ++y, from += frame->pitch) {
        Uint8* first = to;
        if (bpp == 4) {
            const Uint32* in = reinterpret_cast<const Uint32*>(from);
            Uint32* out = reinterpret_cast<Uint32*>(first);
            for (int x = 0; x < frame->w; ++x)
                for (int k = 0; k < factor; ++k)
                    *out++ = in[x];
        } else {
            Uint8* out = first;
            for (int x = 0; x < frame->w; ++x)
                for (int k = 0; k < factor; ++k, out += bpp)
                    memcpy(out, from + x * bpp, size_t(bpp));
        }
        to += screen->pitch;
        for (int k = 1; k < factor; ++k, to += screen->pitch)
            memcpy(to, first, size_t(rowBytes));
    }
}

// Black around the enlarged frame, where the screen is larger.
void fill_borders(SDL_Surface* screen) {
    if (offsetX == 0 && offsetY == 0) return;
    const Uint16 w = Uint16(frame->w * factor), h = Uint16(frame->h * factor);
    SDL_Rect bands[4] = {
        {0, 0, Uint16(screen->w), Uint16(offsetY)},
        {0, Sint16(offsetY + h), Uint16(screen->w), Uint16(screen->h - offsetY - h)},
        {0, Sint16(offsetY), Uint16(offsetX), h},
        {Sint16(offsetX + w), Sint16(offsetY), Uint16(screen->w - offsetX - w), h}};
    for (SDL_Rect& band : bands)
        if (band.w > 0 && band.h > 0) SDL_FillRect(screen, &band, 0);
}

// The window enlarged, or full screen at the desktop's size, with the frame
// to draw on; null when the display refuses it.
SDL_Surface* enlarged_mode(int width, int height, int bpp, Uint32 flags) {
    const int chosen = chosen_factor();
    int n, screenW, screenH;
    if (flags & SDL_FULLSCREEN) {
        screenW = GetSystemMetrics(SM_CXSCREEN);
        screenH = GetSystemMetrics(SM_CYSCREEN);
        n = screenW / width < screenH / height ? screenW / width : screenH / height;
        if (chosen && chosen < n) n = chosen;
        if (n < 1) return SDL_SetVideoMode(width, height, bpp, flags);
    } else {
        n = chosen ? chosen : window_factor(width, height, flags);
        screenW = n * width;
        screenH = n * height;
    }
    if (screenW == width && screenH == height) return SDL_SetVideoMode(width, height, bpp, flags);

    SDL_Surface* screen = SDL_SetVideoMode(screenW, screenH, bpp, flags);
    // A size the display refuses: the game's own, as it is.
    if (!screen) return SDL_SetVideoMode(width, height, bpp, flags);
    const SDL_PixelFormat* f = screen->format;
    frame = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, f->BitsPerPixel, f->Rmask, f->Gmask,
                                 f->Bmask, f->Amask);
    if (!frame) return SDL_SetVideoMode(width, height, bpp, flags);
    factor = n;
    offsetX = (screen->w - n * width) / 2;
    offsetY = (screen->h - n * height) / 2;
    SDL_FillRect(screen, nullptr, 0);
    return frame;
}

} // namespace

SDL_Surface* set_video_mode(int width, int height, int bpp, Uint32 flags) {
    drop_frame();
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    if (!drawn_by_windows() || width <= 0 || height <= 0)
        return SDL_SetVideoMode(width, height, bpp, flags);
    SDL_Surface* shown = enlarged_mode(width, height, bpp, flags);
    if (shown) hear_session_end();
    return shown;
}

SDL_Surface* video_surface() {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!screen) {
        drop_frame();
        return nullptr;
    }
    return frame ? frame : screen;
}

int show_frame(SDL_Surface* surface) {
    SDL_Surface* screen = SDL_GetVideoSurface();
    if (!frame || surface != frame || !screen) return SDL_Flip(surface);
    if (SDL_LockSurface(screen) != 0) return -1;
    enlarge(screen);
    SDL_UnlockSurface(screen);
    fill_borders(screen);
    return SDL_Flip(screen);
}
