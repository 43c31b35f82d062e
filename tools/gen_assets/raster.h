// A small raster toolkit for drawing the game's pictures from code: shapes are
// sampled on a finer grid (scale s per pixel) and averaged down, which gives
// smooth edges without any outside image library.
#pragma once

#include "archive_pack/archive_pack.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
    float r, g, b; // 0..255
};

// Premultiplied colour with coverage, 0..1.
struct Px {
    float r, g, b, a;
};

// A drawing target. Shape coordinates are local: they go through the
// transform (origin ox, oy and zoom k) to logical pixels, then to the fine
// grid. Drawing is clipped to the logical rectangle clip.
struct Canvas {
    int w, h, s;
    std::vector<Px> px; // (w * s) x (h * s)
    float ox, oy, k;
    int clipX0, clipY0, clipX1, clipY1;
};

struct Pt {
    float x, y;
};

constexpr float PI = 3.14159265f;
const Rgb KEY_GREY = {125, 125, 125};

Rgb hex(uint32_t v);
Rgb mix(Rgb a, Rgb b, float t);
Rgb shade(Rgb c, float f); // f < 1 darker, > 1 lighter (towards white)

Canvas canvas_make(int w, int h, int s);
void canvas_transform(Canvas& c, float ox, float oy, float k);
void canvas_clip(Canvas& c, int x, int y, int w, int h);
void canvas_reset(Canvas& c); // identity transform, whole canvas
// Narrows the clip to a local box under the current transform; returns the
// previous clip so it can be put back with canvas_clip.
struct Clip {
    int x, y, w, h;
};
Clip canvas_clip_local(Canvas& c, float x, float y, float w, float h);
void canvas_clip_restore(Canvas& c, Clip previous);

// The core: every fine sample inside the local box (x0, y0)-(x1, y1) for
// which inside(x, y) holds is blended with colour(x, y) at opacity alpha.
template <class Inside, class Colour>
void paint(Canvas& c, float x0, float y0, float x1, float y1, Inside inside, Colour colour,
           float alpha = 1.0f) {
    float gx0 = (c.ox + x0 * c.k) * c.s, gx1 = (c.ox + x1 * c.k) * c.s;
    float gy0 = (c.oy + y0 * c.k) * c.s, gy1 = (c.oy + y1 * c.k) * c.s;
    int ix0 = std::max(int(std::floor(std::min(gx0, gx1))), c.clipX0 * c.s);
    int ix1 = std::min(int(std::ceil(std::max(gx0, gx1))), c.clipX1 * c.s);
    int iy0 = std::max(int(std::floor(std::min(gy0, gy1))), c.clipY0 * c.s);
    int iy1 = std::min(int(std::ceil(std::max(gy0, gy1))), c.clipY1 * c.s);
    int stride = c.w * c.s;
    for (int iy = iy0; iy < iy1; ++iy) {
        float y = ((iy + 0.5f) / c.s - c.oy) / c.k;
        for (int ix = ix0; ix < ix1; ++ix) {
            float x = ((ix + 0.5f) / c.s - c.ox) / c.k;
            if (!inside(x, y)) continue;
            Rgb col = colour(x, y);
            Px& d = c.px[size_t(iy) * stride + ix];
            float a = alpha;
            d.r = col.r / 255.0f * a + d.r * (1 - a);
            d.g = col.g / 255.0f * a + d.g * (1 - a);
            d.b = col.b / 255.0f * a + d.b * (1 - a);
            d.a = a + d.a * (1 - a);
        }
    }
}

// Colour helpers for paint.
struct Flat {
    Rgb c;
    Rgb operator()(float, float) const { return c; }
};
// Lighter towards (hx, hy), the base colour at distance r and beyond.
struct Glossy {
    Rgb base;
    float hx, hy, r;
    Rgb operator()(float x, float y) const {
        float d = std::sqrt((x - hx) * (x - hx) + (y - hy) * (y - hy)) / r;
        return mix(shade(base, 1.35f), shade(base, 0.85f), std::min(1.0f, d));
    }
};

// Shapes, local coordinates. Each has a plain and an outlined form: the
// outlined one first draws the shape grown by t in colour line.
void fill_rect(Canvas& c, float x, float y, float w, float h, Rgb col, float alpha = 1);
void fill_vgradient(Canvas& c, float x, float y, float w, float h, Rgb top, Rgb bottom);
void fill_hgradient(Canvas& c, float x, float y, float w, float h, Rgb left, Rgb right);
void fill_round_rect(Canvas& c, float x, float y, float w, float h, float r, Rgb col,
                     float alpha = 1);
void fill_round_rect_vgradient(Canvas& c, float x, float y, float w, float h, float r, Rgb top,
                               Rgb bottom);
void fill_ellipse(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, float angle = 0,
                  float alpha = 1);
void fill_ellipse_glossy(Canvas& c, float cx, float cy, float rx, float ry, Rgb col,
                         float angle = 0);
void outline_ellipse(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, Rgb line, float t,
                     float angle = 0, bool glossy = true);
void fill_capsule(Canvas& c, Pt a, Pt b, float r, Rgb col, float alpha = 1);
void fill_capsule2(Canvas& c, Pt a, Pt b, float ra, float rb, Rgb col); // tapered
void fill_poly(Canvas& c, const std::vector<Pt>& pts, Rgb col, float alpha = 1);
void outline_poly(Canvas& c, const std::vector<Pt>& pts, Rgb col, Rgb line, float t);
void stroke_poly(Canvas& c, const std::vector<Pt>& pts, float t, Rgb col, bool closed);
// A polygon from a closed smooth curve through the points (Catmull-Rom).
std::vector<Pt> smooth_closed(const std::vector<Pt>& pts, int steps = 8);

// Text (SDL_ttf, UTF-8) drawn on the fine grid. align: 0 left, 1 centre,
// 2 right of x. y is the top of the text line. Returns the width in pixels.
enum FontFace { FONT_COMIC, FONT_TITLE };
bool fonts_ready();
float text_width(FontFace f, float pt, const std::string& text);
float draw_text(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y, Rgb col,
                int align = 0, float alpha = 1);
// Same with a surrounding outline of thickness t (and an optional drop shadow).
float draw_text_outlined(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
                         Rgb col, Rgb line, float t, int align = 0, float shadow = 0);
// Paints the text's coverage with a per-pixel colour (gradient lettering).
template <class Colour>
void draw_text_fn(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
                  Colour colour, int align = 0);
void fonts_close();
// The y to draw a line at so its capitals sit centred in the band top..top+h.
float text_y_centred(FontFace f, float pt, float top, float h);
// The distance from the top of a line to its baseline.
float text_ascent(FontFace f, float pt);

// Opaque picture: the canvas over a background colour.
ArchivePicture canvas_to_picture(const Canvas& c, Rgb background);
// Keyed picture: pixels less than half covered become key grey; no covered
// pixel is ever exactly key grey.
ArchivePicture canvas_to_keyed(const Canvas& c);

// Deterministic noise for textures.
uint32_t rng_next(uint32_t& state);
float rng_unit(uint32_t& state); // 0..1

// Text coverage mask on the fine grid, used by draw_text_fn.
struct TextMask {
    int w, h;               // fine pixels
    std::vector<float> cov; // 0..1
    float gx, gy;           // fine position of the top-left corner
};
bool text_mask(const Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
               int align, TextMask& m);

template <class Colour>
void draw_text_fn(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
                  Colour colour, int align) {
    TextMask m;
    if (!text_mask(c, f, pt, text, x, y, align, m)) return;
    int stride = c.w * c.s;
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) {
            float a = m.cov[size_t(j) * m.w + i];
            if (a <= 0) continue;
            int gx = int(m.gx) + i, gy = int(m.gy) + j;
            if (gx < c.clipX0 * c.s || gx >= c.clipX1 * c.s || gy < c.clipY0 * c.s ||
                gy >= c.clipY1 * c.s)
                continue;
            float lx = ((gx + 0.5f) / c.s - c.ox) / c.k, ly = ((gy + 0.5f) / c.s - c.oy) / c.k;
            Rgb col = colour(lx, ly);
            Px& d = c.px[size_t(gy) * stride + gx];
            d.r = col.r / 255.0f * a + d.r * (1 - a);
            d.g = col.g / 255.0f * a + d.g * (1 - a);
            d.b = col.b / 255.0f * a + d.b * (1 - a);
            d.a = a + d.a * (1 - a);
        }
}
