#include "raster.h"

#include <SDL/SDL_ttf.h>
#include <cstdio>
#include <map>
#include <utility>

#ifndef ART_FONT
#define ART_FONT "/usr/share/fonts/opentype/comic-neue/ComicNeue-Bold.otf"
#endif
#ifndef ART_TITLE_FONT
#define ART_TITLE_FONT "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Black.otf"
#endif

Rgb hex(uint32_t v) {
    return {float(v >> 16 & 255), float(v >> 8 & 255), float(v & 255)};
}

Rgb mix(Rgb a, Rgb b, float t) {
    t = std::min(1.0f, std::max(0.0f, t));
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb shade(Rgb c, float f) {
    if (f <= 1) return {c.r * f, c.g * f, c.b * f};
    return mix(c, {255, 255, 255}, f - 1);
}

Canvas canvas_make(int w, int h, int s) {
    Canvas c;
    c.w = w;
    c.h = h;
    c.s = s;
    c.px.assign(size_t(w) * s * h * s, Px{0, 0, 0, 0});
    canvas_reset(c);
    return c;
}

void canvas_transform(Canvas& c, float ox, float oy, float k) {
    c.ox = ox;
    c.oy = oy;
    c.k = k;
}

void canvas_clip(Canvas& c, int x, int y, int w, int h) {
    c.clipX0 = std::max(0, x);
    c.clipY0 = std::max(0, y);
    c.clipX1 = std::min(c.w, x + w);
    c.clipY1 = std::min(c.h, y + h);
}

Clip canvas_clip_local(Canvas& c, float x, float y, float w, float h) {
    Clip old = {c.clipX0, c.clipY0, c.clipX1 - c.clipX0, c.clipY1 - c.clipY0};
    int x0 = int(std::lround(c.ox + x * c.k)), y0 = int(std::lround(c.oy + y * c.k));
    int x1 = int(std::lround(c.ox + (x + w) * c.k)), y1 = int(std::lround(c.oy + (y + h) * c.k));
    c.clipX0 = std::max(c.clipX0, x0);
    c.clipY0 = std::max(c.clipY0, y0);
    c.clipX1 = std::min(c.clipX1, x1);
    c.clipY1 = std::min(c.clipY1, y1);
    return old;
}

void canvas_clip_restore(Canvas& c, Clip previous) {
    canvas_clip(c, previous.x, previous.y, previous.w, previous.h);
}

void canvas_reset(Canvas& c) {
    canvas_transform(c, 0, 0, 1);
    canvas_clip(c, 0, 0, c.w, c.h);
}

void fill_rect(Canvas& c, float x, float y, float w, float h, Rgb col, float alpha) {
    paint(
        c, x, y, x + w, y + h, [](float, float) { return true; }, Flat{col}, alpha);
}

void fill_vgradient(Canvas& c, float x, float y, float w, float h, Rgb top, Rgb bottom) {
    paint(
        c, x, y, x + w, y + h, [](float, float) { return true; },
        [&](float, float py) { return mix(top, bottom, (py - y) / h); });
}

void fill_hgradient(Canvas& c, float x, float y, float w, float h, Rgb left, Rgb right) {
    paint(
        c, x, y, x + w, y + h, [](float, float) { return true; },
        [&](float px, float) { return mix(left, right, (px - x) / w); });
}

namespace {
bool in_round_rect(float px, float py, float x, float y, float w, float h, float r) {
    if (px < x || py < y || px > x + w || py > y + h) return false;
    float cx = std::min(std::max(px, x + r), x + w - r);
    float cy = std::min(std::max(py, y + r), y + h - r);
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
}

bool in_ellipse(float px, float py, float cx, float cy, float rx, float ry, float angle) {
    float dx = px - cx, dy = py - cy;
    if (angle != 0) {
        float cs = std::cos(angle), sn = std::sin(angle);
        float u = dx * cs + dy * sn, v = -dx * sn + dy * cs;
        dx = u;
        dy = v;
    }
    return (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0f;
}

float seg_dist2(float px, float py, Pt a, Pt b, float* t_out) {
    float vx = b.x - a.x, vy = b.y - a.y;
    float l2 = vx * vx + vy * vy;
    float t = l2 > 0 ? ((px - a.x) * vx + (py - a.y) * vy) / l2 : 0;
    t = std::min(1.0f, std::max(0.0f, t));
    float dx = px - (a.x + t * vx), dy = py - (a.y + t * vy);
    if (t_out) *t_out = t;
    return dx * dx + dy * dy;
}

bool in_poly(float px, float py, const std::vector<Pt>& pts) {
    bool in = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
        const Pt &a = pts[i], &b = pts[j];
        if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) in = !in;
    }
    return in;
}

void poly_box(const std::vector<Pt>& pts, float grow, float* x0, float* y0, float* x1, float* y1) {
    *x0 = *y0 = 1e9f;
    *x1 = *y1 = -1e9f;
    for (const Pt& p : pts) {
        *x0 = std::min(*x0, p.x - grow);
        *y0 = std::min(*y0, p.y - grow);
        *x1 = std::max(*x1, p.x + grow);
        *y1 = std::max(*y1, p.y + grow);
    }
}
} // namespace

void fill_round_rect(Canvas& c, float x, float y, float w, float h, float r, Rgb col, float alpha) {
    paint(
        c, x, y, x + w, y + h,
        [=](float px, float py) { return in_round_rect(px, py, x, y, w, h, r); }, Flat{col}, alpha);
}

void fill_round_rect_vgradient(Canvas& c, float x, float y, float w, float h, float r, Rgb top,
                               Rgb bottom) {
    paint(
        c, x, y, x + w, y + h,
        [=](float px, float py) { return in_round_rect(px, py, x, y, w, h, r); },
        [&](float, float py) { return mix(top, bottom, (py - y) / h); });
}

void fill_ellipse(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, float angle,
                  float alpha) {
    float m = std::max(rx, ry);
    paint(
        c, cx - m, cy - m, cx + m, cy + m,
        [=](float px, float py) { return in_ellipse(px, py, cx, cy, rx, ry, angle); }, Flat{col},
        alpha);
}

void fill_ellipse_glossy(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, float angle) {
    float m = std::max(rx, ry);
    paint(
        c, cx - m, cy - m, cx + m, cy + m,
        [=](float px, float py) { return in_ellipse(px, py, cx, cy, rx, ry, angle); },
        Glossy{col, cx - rx * 0.35f, cy - ry * 0.45f, 1.6f * m});
}

void outline_ellipse(Canvas& c, float cx, float cy, float rx, float ry, Rgb col, Rgb line, float t,
                     float angle, bool glossy) {
    fill_ellipse(c, cx, cy, rx + t, ry + t, line, angle);
    if (glossy)
        fill_ellipse_glossy(c, cx, cy, rx, ry, col, angle);
    else
        fill_ellipse(c, cx, cy, rx, ry, col, angle);
}

void fill_capsule(Canvas& c, Pt a, Pt b, float r, Rgb col, float alpha) {
    paint(
        c, std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
        std::max(a.y, b.y) + r,
        [=](float px, float py) { return seg_dist2(px, py, a, b, nullptr) <= r * r; }, Flat{col},
        alpha);
}

void fill_capsule2(Canvas& c, Pt a, Pt b, float ra, float rb, Rgb col) {
    float r = std::max(ra, rb);
    paint(
        c, std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r,
        std::max(a.y, b.y) + r,
        [=](float px, float py) {
            float t;
            float d2 = seg_dist2(px, py, a, b, &t);
            float rr = ra + (rb - ra) * t;
            return d2 <= rr * rr;
        },
        Flat{col});
}

void fill_poly(Canvas& c, const std::vector<Pt>& pts, Rgb col, float alpha) {
    if (pts.size() < 3) return;
    float x0, y0, x1, y1;
    poly_box(pts, 0, &x0, &y0, &x1, &y1);
    paint(
        c, x0, y0, x1, y1, [&](float px, float py) { return in_poly(px, py, pts); }, Flat{col},
        alpha);
}

void stroke_poly(Canvas& c, const std::vector<Pt>& pts, float t, Rgb col, bool closed) {
    if (pts.size() < 2) return;
    float x0, y0, x1, y1;
    poly_box(pts, t, &x0, &y0, &x1, &y1);
    size_t n = pts.size(), segs = closed ? n : n - 1;
    paint(
        c, x0, y0, x1, y1,
        [&](float px, float py) {
            for (size_t i = 0; i < segs; ++i)
                if (seg_dist2(px, py, pts[i], pts[(i + 1) % n], nullptr) <= t * t) return true;
            return false;
        },
        Flat{col});
}

void outline_poly(Canvas& c, const std::vector<Pt>& pts, Rgb col, Rgb line, float t) {
    if (pts.size() < 3) return;
    float x0, y0, x1, y1;
    poly_box(pts, t, &x0, &y0, &x1, &y1);
    size_t n = pts.size();
    // Inside, or within t of an edge: the grown shape in one pass.
    paint(
        c, x0, y0, x1, y1,
        [&](float px, float py) {
            if (in_poly(px, py, pts)) return true;
            for (size_t i = 0; i < n; ++i)
                if (seg_dist2(px, py, pts[i], pts[(i + 1) % n], nullptr) <= t * t) return true;
            return false;
        },
        Flat{line});
    fill_poly(c, pts, col);
}

std::vector<Pt> smooth_closed(const std::vector<Pt>& p, int steps) {
    std::vector<Pt> out;
    size_t n = p.size();
    for (size_t i = 0; i < n; ++i) {
        const Pt &p0 = p[(i + n - 1) % n], &p1 = p[i], &p2 = p[(i + 1) % n], &p3 = p[(i + 2) % n];
        for (int s = 0; s < steps; ++s) {
            float t = float(s) / steps, t2 = t * t, t3 = t2 * t;
            auto cr = [&](float a, float b, float c2, float d) {
                return 0.5f * (2 * b + (-a + c2) * t + (2 * a - 5 * b + 4 * c2 - d) * t2 +
                               (-a + 3 * b - 3 * c2 + d) * t3);
            };
            out.push_back({cr(p0.x, p1.x, p2.x, p3.x), cr(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    return out;
}

// ---- text ----

namespace {
std::map<std::pair<int, int>, TTF_Font*> g_fonts;
bool g_ttf_started = false;

TTF_Font* font_at(FontFace f, int size) {
    if (!fonts_ready()) return nullptr;
    auto key = std::make_pair(int(f), size);
    auto it = g_fonts.find(key);
    if (it != g_fonts.end()) return it->second;
    const char* path = f == FONT_TITLE ? ART_TITLE_FONT : ART_FONT;
    TTF_Font* font = TTF_OpenFont(path, size);
    if (!font) fprintf(stderr, "gen_assets: cannot open font %s: %s\n", path, TTF_GetError());
    g_fonts[key] = font;
    return font;
}
} // namespace

bool fonts_ready() {
    if (!g_ttf_started) {
        if (TTF_Init() != 0) {
            fprintf(stderr, "gen_assets: TTF_Init : %s\n", TTF_GetError());
            return false;
        }
        g_ttf_started = true;
    }
    return true;
}

void fonts_close() {
    for (auto& kv : g_fonts)
        if (kv.second) TTF_CloseFont(kv.second);
    g_fonts.clear();
    if (g_ttf_started) TTF_Quit();
    g_ttf_started = false;
}

float text_width(FontFace f, float pt, const std::string& text) {
    TTF_Font* font = font_at(f, int(std::lround(pt * 4)));
    int w = 0, h = 0;
    if (!font || TTF_SizeUTF8(font, text.c_str(), &w, &h) != 0) return 0;
    return w / 4.0f;
}

float text_y_centred(FontFace f, float pt, float top, float h) {
    TTF_Font* font = font_at(f, int(std::lround(pt * 4)));
    int minx, maxx, miny, maxy, advance;
    if (!font || TTF_GlyphMetrics(font, 'H', &minx, &maxx, &miny, &maxy, &advance) != 0)
        return top + (h - pt * 1.2f) / 2;
    float ascent = TTF_FontAscent(font) / 4.0f, cap = maxy / 4.0f;
    return top + h / 2 - (ascent - cap / 2);
}

float text_ascent(FontFace f, float pt) {
    TTF_Font* font = font_at(f, int(std::lround(pt * 4)));
    return font ? TTF_FontAscent(font) / 4.0f : pt * 0.9f;
}

bool text_mask(const Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
               int align, TextMask& m) {
    float scale = c.s * c.k; // fine pixels per local unit
    TTF_Font* font = font_at(f, int(std::lround(pt * scale)));
    if (!font || text.empty()) return false;
    SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* s = TTF_RenderUTF8_Blended(font, text.c_str(), white);
    if (!s) return false;
    m.w = s->w;
    m.h = s->h;
    m.cov.assign(size_t(m.w) * m.h, 0);
    SDL_LockSurface(s);
    for (int j = 0; j < s->h; ++j)
        for (int i = 0; i < s->w; ++i) {
            Uint32 v =
                *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + j * s->pitch + i * 4);
            Uint8 r, g, b, a;
            SDL_GetRGBA(v, s->format, &r, &g, &b, &a);
            m.cov[size_t(j) * m.w + i] = a / 255.0f;
        }
    SDL_UnlockSurface(s);
    SDL_FreeSurface(s);
    float lx = x - (align == 1 ? m.w / scale / 2 : align == 2 ? m.w / scale : 0);
    m.gx = std::round((c.ox + lx * c.k) * c.s);
    m.gy = std::round((c.oy + y * c.k) * c.s);
    return true;
}

float draw_text(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y, Rgb col,
                int align, float alpha) {
    TextMask m;
    if (!text_mask(c, f, pt, text, x, y, align, m)) return 0;
    int stride = c.w * c.s;
    for (int j = 0; j < m.h; ++j)
        for (int i = 0; i < m.w; ++i) {
            float a = m.cov[size_t(j) * m.w + i] * alpha;
            int gx = int(m.gx) + i, gy = int(m.gy) + j;
            if (a <= 0 || gx < c.clipX0 * c.s || gx >= c.clipX1 * c.s || gy < c.clipY0 * c.s ||
                gy >= c.clipY1 * c.s)
                continue;
            Px& d = c.px[size_t(gy) * stride + gx];
            d.r = col.r / 255.0f * a + d.r * (1 - a);
            d.g = col.g / 255.0f * a + d.g * (1 - a);
            d.b = col.b / 255.0f * a + d.b * (1 - a);
            d.a = a + d.a * (1 - a);
        }
    return m.w / (c.s * c.k);
}

float draw_text_outlined(Canvas& c, FontFace f, float pt, const std::string& text, float x, float y,
                         Rgb col, Rgb line, float t, int align, float shadow) {
    if (shadow > 0) draw_text(c, f, pt, text, x + shadow, y + shadow, line, align, 0.6f);
    const int dirs = 16;
    for (int i = 0; i < dirs; ++i) {
        float a = 2 * PI * i / dirs;
        draw_text(c, f, pt, text, x + t * std::cos(a), y + t * std::sin(a), line, align);
    }
    return draw_text(c, f, pt, text, x, y, col, align);
}

// ---- conversion ----

namespace {
Px average(const Canvas& c, int x, int y) {
    Px sum{0, 0, 0, 0};
    int stride = c.w * c.s;
    for (int j = 0; j < c.s; ++j)
        for (int i = 0; i < c.s; ++i) {
            const Px& p = c.px[size_t(y * c.s + j) * stride + x * c.s + i];
            sum.r += p.r;
            sum.g += p.g;
            sum.b += p.b;
            sum.a += p.a;
        }
    float n = float(c.s * c.s);
    return {sum.r / n, sum.g / n, sum.b / n, sum.a / n};
}

uint32_t pack(float r, float g, float b) {
    auto q = [](float v) {
        int i = int(std::lround(v * 255));
        return uint32_t(std::min(255, std::max(0, i)));
    };
    return q(r) << 16 | q(g) << 8 | q(b);
}
} // namespace

ArchivePicture canvas_to_picture(const Canvas& c, Rgb bg) {
    ArchivePicture p{c.w, c.h, std::vector<uint32_t>(size_t(c.w) * c.h)};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            Px a = average(c, x, y);
            p.pixels[size_t(y) * c.w + x] =
                pack(a.r + bg.r / 255 * (1 - a.a), a.g + bg.g / 255 * (1 - a.a),
                     a.b + bg.b / 255 * (1 - a.a));
        }
    return p;
}

ArchivePicture canvas_to_keyed(const Canvas& c) {
    const uint32_t key = 0x7D7D7Du;
    ArchivePicture p{c.w, c.h, std::vector<uint32_t>(size_t(c.w) * c.h, key)};
    for (int y = 0; y < c.h; ++y)
        for (int x = 0; x < c.w; ++x) {
            Px a = average(c, x, y);
            if (a.a < 0.5f) continue;
            // Edge pixels keep the colour of what covers them, never a blend
            // with the grey behind, so the key leaves no halo.
            uint32_t v = pack(a.r / a.a, a.g / a.a, a.b / a.a);
            if (v == key) v = 0x7E7D7Du; // one step off the key: stays visible
            p.pixels[size_t(y) * c.w + x] = v;
        }
    return p;
}

uint32_t rng_next(uint32_t& s) {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
}

float rng_unit(uint32_t& s) {
    return (rng_next(s) & 0xFFFFFF) / float(0x1000000);
}
