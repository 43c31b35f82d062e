// SDL_rotozoom's calls on the game's own kinds of picture (a 30 x 30 portrait,
// 32-bit without alpha, spun in and enlarged by the new-record screen; the
// intro's 8-bit keyed title, turned 5 degrees and enlarged 1.1 times,
// smoothed), then every call of SDL_rotozoom.h over a sweep of angles, zooms
// and picture formats, by whichever SDL_gfx this is built against.
//
//   rotozoom_probe write|compare FILE

#include "probe.h"

#include <SDL/SDL_rotozoom.h>

#include <string>
#include <vector>

namespace {

struct Source {
    const char* name;
    SDL_Surface* surface;
};

Uint32 noise_state = 12345;
Uint32 noise() {
    noise_state = noise_state * 1103515245u + 12345u;
    return noise_state >> 8;
}

// Pixels of every value the format holds, in patches so that neighbours
// often match (the smoothing's blends) and often differ.
void fill_noise(SDL_Surface* s, Uint32 keep_mask) {
    SDL_LockSurface(s);
    int bpp = s->format->BytesPerPixel;
    Uint32 value = noise();
    for (int y = 0; y < s->h; ++y) {
        Uint8* row = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        for (int x = 0; x < s->w; ++x) {
            if (noise() % 4 == 0) value = noise();
            Uint32 v = value & keep_mask;
            for (int b = 0; b < bpp; ++b)
                row[x * bpp + b] = Uint8(v >> (8 * b));
        }
    }
    SDL_UnlockSurface(s);
}

SDL_Surface* make_rgb(int w, int h, int depth, Uint32 r, Uint32 g, Uint32 b, Uint32 a,
                      Uint32 keep_mask) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_HWSURFACE, w, h, depth, r, g, b, a);
    if (s) fill_noise(s, keep_mask);
    return s;
}

// As TTF_RenderText_Solid makes them: colour 0 the key, colour 1 the ink.
SDL_Surface* make_text_like(int w, int h, bool keyed, int colours, Uint32 key = 0) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 8, 0, 0, 0, 0);
    if (!s) return nullptr;
    SDL_Color palette[256];
    for (int i = 0; i < 256; ++i)
        palette[i] = SDL_Color{Uint8(noise()), Uint8(noise()), Uint8(noise()), 0};
    SDL_SetColors(s, palette, 0, 256);
    fill_noise(s, 0xFF);
    SDL_LockSurface(s);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Uint8& p = static_cast<Uint8*>(s->pixels)[y * s->pitch + x];
            p = Uint8(p % colours);
        }
    SDL_UnlockSurface(s);
    if (keyed) SDL_SetColorKey(s, SDL_SRCCOLORKEY, key);
    return s;
}

std::vector<Source> make_sources() {
    std::vector<Source> out;
    // The portrait: 32-bit, SDL's default masks, the top byte clear.
    out.push_back({"portrait", make_rgb(30, 30, 32, 0, 0, 0, 0, 0x00FFFFFF)});
    SDL_Surface* keyed = make_rgb(30, 30, 32, 0, 0, 0, 0, 0x00FFFFFF);
    if (keyed) {
        SDL_FillRect(keyed, nullptr, SDL_MapRGB(keyed->format, 125, 125, 125));
        SDL_Rect inside = {5, 5, 20, 20};
        SDL_FillRect(keyed, &inside, SDL_MapRGB(keyed->format, 200, 30, 60));
        SDL_SetColorKey(keyed, SDL_SRCCOLORKEY, SDL_MapRGB(keyed->format, 125, 125, 125));
    }
    out.push_back({"keyed portrait", keyed});
    out.push_back({"title", make_text_like(592, 206, true, 2)});
    out.push_back({"8-bit", make_text_like(41, 23, false, 256)});
    out.push_back({"8-bit keyed", make_text_like(17, 40, true, 7)});
    SDL_Surface* rgba =
        make_rgb(33, 21, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 0xFFFFFFFF);
    if (rgba) SDL_SetAlpha(rgba, SDL_SRCALPHA, 255);
    out.push_back({"ARGB", rgba});
    SDL_Surface* keyed_rgba =
        make_rgb(27, 31, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, 0xFFFFFFFF);
    if (keyed_rgba) {
        SDL_Rect band = {0, 10, 27, 6};
        SDL_FillRect(keyed_rgba, &band, 0x80102030);
        SDL_SetColorKey(keyed_rgba, SDL_SRCCOLORKEY, 0x80102030);
    }
    out.push_back({"keyed ARGB", keyed_rgba});
    SDL_Surface* keyed_rgba_low =
        make_rgb(20, 20, 32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFFFFFFFF);
    if (keyed_rgba_low) {
        SDL_Rect band = {3, 0, 5, 20};
        SDL_FillRect(keyed_rgba_low, &band, 0x80102030);
        SDL_SetColorKey(keyed_rgba_low, SDL_SRCCOLORKEY, 0x80102030);
    }
    out.push_back({"keyed RGBA", keyed_rgba_low});
    // A key with the unused top byte set: the pixels it matches are those
    // SDL compares without that byte.
    SDL_Surface* keyed_top = make_rgb(25, 19, 32, 0, 0, 0, 0, 0xFFFFFFFF);
    if (keyed_top) {
        SDL_Rect band = {0, 4, 25, 3};
        SDL_FillRect(keyed_top, &band, 0xAB7D7D7D);
        SDL_SetColorKey(keyed_top, SDL_SRCCOLORKEY, 0xAB7D7D7D);
    }
    out.push_back({"keyed, top byte set", keyed_top});
    out.push_back({"8-bit keyed 3", make_text_like(29, 18, true, 5, 3)});
    out.push_back(
        {"ABGR", make_rgb(24, 35, 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000, 0xFFFFFFFF)});
    out.push_back(
        {"RGB 24", make_rgb(19, 26, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, 0xFFFFFF)});
    out.push_back({"RGB 565", make_rgb(22, 13, 16, 0xF800, 0x07E0, 0x001F, 0, 0xFFFF)});
    out.push_back({"1 x 1", make_rgb(1, 1, 32, 0, 0, 0, 0, 0x00FFFFFF)});
    out.push_back({"2 x 3", make_rgb(2, 3, 32, 0, 0, 0, 0, 0x00FFFFFF)});
    out.push_back({"64 x 1", make_rgb(64, 1, 32, 0, 0, 0, 0, 0x00FFFFFF)});
    return out;
}

std::string number(double v) {
    char buf[32];
    snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// The case is named before the call, so that a crash can be traced to it.
template <typename Call> void surface_case(Probe& p, const std::string& name, Call call) {
    probe_begin(p, name);
    SDL_Surface* s = call();
    probe_surface(p, s);
    SDL_FreeSurface(s);
    probe_end(p);
}

void rotozoom_case(Probe& p, const Source& src, double angle, double zoom, int smooth) {
    surface_case(p,
                 std::string(src.name) + " rotozoom " + number(angle) + " " + number(zoom) + " " +
                     number(smooth),
                 [&] { return rotozoomSurface(src.surface, angle, zoom, smooth); });
}

// The new-record screen's spin: from a tenth up to 3.7 times, in float steps
// of a tenth, each frame turned by a hundred times the previous zoom; then
// the still picture, 3.7 times and unturned.
void game_cases(Probe& p, const std::vector<Source>& sources) {
    const Source& portrait = sources[0];
    const Source& title = sources[2];
    float zoom = 0.1f;
    int angle = 0;
    do {
        rotozoom_case(p, portrait, angle, zoom, SMOOTHING_OFF);
        rotozoom_case(p, sources[1], angle, zoom, SMOOTHING_OFF);
        angle = int(zoom * 100.0);
        zoom = float(zoom + 0.1);
    } while (zoom <= 3.7);
    rotozoom_case(p, portrait, 0.0, 3.7, SMOOTHING_OFF);
    rotozoom_case(p, sources[1], 0.0, 3.7, SMOOTHING_OFF);
    rotozoom_case(p, title, 5.0, 1.1, SMOOTHING_ON);
}

void sweep_cases(Probe& p, const std::vector<Source>& sources) {
    const double angles[] = {0,  0.0005, 0.002, 1,   5,   30,   45,  89.9,
                             90, 135,    180,   270, -45, -5.5, 359, 720.5};
    const double zooms[] = {0.05, 0.3, 0.5, 0.999, 1, 1.1, 2, 3.7, -1, -2.5, 0.0001};
    const double pairs[][2] = {{1, 2}, {-1, 1}, {2, -0.5}, {0.7, 1.3}, {-1.5, -1.5}, {0.0001, 1}};
    for (const Source& src : sources) {
        bool big = src.surface && src.surface->w > 100;
        // SDL_gfx 2.0.25 reads outside an 8-bit picture it zooms flipped
        // (and crashes): no caller can rely on that.
        bool eight = src.surface && src.surface->format->BitsPerPixel == 8;
        std::string name = src.name;
        for (double angle : angles)
            for (double zoom : zooms) {
                if (big && (zoom > 1.1 || zoom < -1.1)) continue;
                if (eight && zoom < 0 && angle < 0.001 && angle > -0.001) continue;
                for (int smooth = 0; smooth < 2; ++smooth)
                    rotozoom_case(p, src, angle, zoom, smooth);
            }
        for (const auto& z : pairs)
            for (double angle : {0.0, 30.0, -100.0})
                for (int smooth = 0; smooth < 2; ++smooth) {
                    if (eight && angle == 0.0 && (z[0] < 0 || z[1] < 0)) continue;
                    surface_case(
                        p,
                        name + " rotozoomXY " + number(angle) + " " + number(z[0]) + " " +
                            number(z[1]) + " " + number(smooth),
                        [&] { return rotozoomSurfaceXY(src.surface, angle, z[0], z[1], smooth); });
                }
        for (const auto& z : pairs)
            for (int smooth = 0; smooth < 2; ++smooth) {
                if (eight && (z[0] < 0 || z[1] < 0)) continue;
                surface_case(
                    p, name + " zoom " + number(z[0]) + " " + number(z[1]) + " " + number(smooth),
                    [&] { return zoomSurface(src.surface, z[0], z[1], smooth); });
            }
        const int factors[][2] = {{1, 1}, {2, 2}, {3, 2}, {7, 5}, {40, 40}};
        for (const auto& f : factors)
            surface_case(p, name + " shrink " + std::to_string(f[0]) + " " + std::to_string(f[1]),
                         [&] { return shrinkSurface(src.surface, f[0], f[1]); });
        for (int turns = -1; turns <= 5; ++turns)
            surface_case(p, name + " rotate90 " + std::to_string(turns),
                         [&] { return rotateSurface90Degrees(src.surface, turns); });
    }
    // The portrait turned a degree at a time, as the spin's angles run.
    for (int angle = 0; angle < 370; ++angle)
        for (double zoom : {1.0, 2.2})
            rotozoom_case(p, sources[0], angle, zoom, SMOOTHING_OFF);
    surface_case(p, "no picture", [] { return rotozoomSurface(nullptr, 5.0, 1.0, 0); });
}

void size_cases(Probe& p) {
    probe_begin(p, "sizes");
    std::vector<Sint64> sizes;
    const int dims[][2] = {{30, 30}, {592, 206}, {1, 1}, {0, 0}, {7, 300}};
    for (const auto& d : dims)
        for (double angle : {0.0, 0.0005, 5.0, 45.0, 90.0, 229.0, -30.0})
            for (double zoom : {0.1, 1.0, 1.1, 3.7, -2.0, 0.0})
                for (double zoomy : {1.0, 0.5}) {
                    int w = -1, h = -1;
                    rotozoomSurfaceSize(d[0], d[1], angle, zoom, &w, &h);
                    sizes.push_back(w);
                    sizes.push_back(h);
                    w = h = -1;
                    rotozoomSurfaceSizeXY(d[0], d[1], angle, zoom, zoomy, &w, &h);
                    sizes.push_back(w);
                    sizes.push_back(h);
                    w = h = -1;
                    zoomSurfaceSize(d[0], d[1], zoom, zoomy, &w, &h);
                    sizes.push_back(w);
                    sizes.push_back(h);
                }
    probe_bytes(p, "sizes", sizes.data(), sizes.size() * sizeof(Sint64));
    probe_end(p);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: %s write|compare FILE\n", argv[0]);
        return 2;
    }
    Probe p;
    if (!probe_open(p, argv[1], argv[2])) return 2;
    SDL_Init(0);
    std::vector<Source> sources = make_sources();
    for (const Source& s : sources)
        if (!s.surface) {
            fprintf(stderr, "cannot make the %s picture: %s\n", s.name, SDL_GetError());
            return 2;
        }
    game_cases(p, sources);
    sweep_cases(p, sources);
    size_cases(p);
    for (const Source& s : sources)
        SDL_FreeSurface(s.surface);
    SDL_Quit();
    return probe_close(p, "SDL_rotozoom");
}
