// SDL_ttf 2.0's Latin-1 text rendering over FreeType, for the Windows build.
// Every size, offset and pixel follows SDL_ttf 2.0.11 as Debian builds it:
// the glyphs hinted (FreeType's default load), rendered one bit deep, placed
// by their rounded metrics on the baseline the font's rounded ascent gives.
// tools/windows_libs/compare checks it against Debian's library.

#include "SDL_ttf.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The synthetic italic's slant: its shift at the top of a line, in lines.
const float ITALIC_SLANT = 0.207f;

// One Latin-1 character as drawn: its box in pixels from the pen position
// on the baseline (y up), its advance, and its picture, one byte a pixel
// (0 or 1), rows of `pitch` bytes of which `width` are the glyph.
struct Glyph {
    bool measured;
    bool drawn;
    FT_UInt index;
    int minx, maxx, miny, maxy;
    int yoffset; // rows from the top of the text to the glyph's top row
    int advance;
    int width, rows, pitch;
    Uint8* pixels;
};

FT_Library library;
int init_count;

} // namespace

struct TTF_Font {
    FT_Face face;
    unsigned char* file; // FreeType reads the face from here while it is open
    int height, ascent, descent, lineskip;
    int underline_offset, underline_height;
    int face_style; // what the face itself is: a bold face is never thickened
    int style;
    int overhang;      // the synthetic bold's extra width
    float italic_lean; // the synthetic italic's shift at the top of the line
    Glyph glyphs[256];
};

namespace {

// 26.6 fixed point to whole pixels.
int floor_px(FT_Pos v) {
    return int((v & -64) / 64);
}
int ceil_px(FT_Pos v) {
    return int(((v + 63) & -64) / 64);
}

bool thickens(const TTF_Font* f) {
    return (f->style & TTF_STYLE_BOLD) && !(f->face_style & TTF_STYLE_BOLD);
}
bool slants(const TTF_Font* f) {
    return (f->style & TTF_STYLE_ITALIC) && !(f->face_style & TTF_STYLE_ITALIC);
}
bool underlines(const TTF_Font* f) {
    return f->style & TTF_STYLE_UNDERLINE;
}
bool strikes(const TTF_Font* f) {
    return f->style & TTF_STYLE_STRIKETHROUGH;
}

int underline_top_row(const TTF_Font* f) {
    return f->ascent - f->underline_offset - 1;
}

void forget_glyphs(TTF_Font* f) {
    for (Glyph& g : f->glyphs) {
        free(g.pixels);
        g = Glyph{};
    }
}

// Reads the whole file, as SDL opens it (so its message on failure).
unsigned char* read_font_file(const char* file, long* size) {
    SDL_RWops* rw = SDL_RWFromFile(file, "rb");
    if (!rw) return nullptr;
    long end = SDL_RWseek(rw, 0, RW_SEEK_END);
    unsigned char* data = nullptr;
    if (end >= 0 && SDL_RWseek(rw, 0, RW_SEEK_SET) == 0) {
        data = static_cast<unsigned char*>(malloc(end > 0 ? size_t(end) : 1));
        if (data && end > 0 && SDL_RWread(rw, data, size_t(end), 1) != 1) {
            free(data);
            data = nullptr;
        }
    }
    SDL_RWclose(rw);
    if (!data) TTF_SetError("Couldn't load font file");
    *size = end;
    return data;
}

// The first Unicode (or symbol) character map the face lists.
void choose_charmap(FT_Face face) {
    for (int i = 0; i < face->num_charmaps; ++i) {
        FT_CharMap m = face->charmaps[i];
        if ((m->platform_id == 3 && (m->encoding_id == 1 || m->encoding_id == 0)) ||
            (m->platform_id == 2 && m->encoding_id == 1) || m->platform_id == 0) {
            FT_Set_Charmap(face, m);
            return;
        }
    }
}

// Makes the glyph's one-byte-a-pixel picture from FreeType's rendering,
// widened by the synthetic styles. An embedded bitmap of 2 or 4 bits a pixel
// (in none of the game's fonts) draws nothing.
bool draw_glyph(TTF_Font* f, Glyph& g) {
    FT_GlyphSlot slot = f->face->glyph;
    if (slants(f)) {
        FT_Matrix shear;
        shear.xx = 1 << 16;
        shear.xy = FT_Fixed(int(f->italic_lean * (1 << 16)) / f->height);
        shear.yx = 0;
        shear.yy = 1 << 16;
        FT_Outline_Transform(&slot->outline, &shear);
    }
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return false;
    const FT_Bitmap& b = slot->bitmap;
    int pitch = b.pitch;
    if (b.pixel_mode == FT_PIXEL_MODE_MONO) pitch *= 8;
    int width = int(b.width);
    int bump = 0;
    if (thickens(f)) bump += f->overhang;
    if (slants(f)) bump += int(std::ceil(f->italic_lean));
    g.pitch = pitch + bump;
    g.width = width + bump;
    g.rows = int(b.rows);
    if (g.rows == 0) return true;
    g.pixels = static_cast<Uint8*>(calloc(size_t(g.pitch) * size_t(g.rows), 1));
    if (!g.pixels) {
        TTF_SetError("Out of memory");
        return false;
    }
    for (int r = 0; r < g.rows; ++r) {
        const unsigned char* from = b.buffer + r * b.pitch;
        Uint8* to = g.pixels + r * g.pitch;
        if (b.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int c = 0; c < width; ++c)
                to[c] = (from[c >> 3] >> (7 - (c & 7))) & 1;
        } else if (b.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (int c = 0; c < width; ++c)
                to[c] = from[c] >= 0x80 ? 1 : 0;
        }
    }
    // The synthetic bold smears each row rightwards, one pixel a pass.
    if (thickens(f)) {
        for (int r = 0; r < g.rows; ++r) {
            Uint8* row = g.pixels + r * g.pitch;
            for (int pass = 0; pass < f->overhang; ++pass)
                for (int c = g.width - 1; c > 0; --c)
                    row[c] |= row[c - 1];
        }
    }
    return true;
}

// The glyph of Latin-1 character `ch`, measured, and drawn if `draw`.
Glyph* find_glyph(TTF_Font* f, unsigned char ch, bool draw) {
    Glyph& g = f->glyphs[ch];
    if (g.measured && (g.drawn || !draw)) return &g;
    FT_Face face = f->face;
    if (!g.index) g.index = FT_Get_Char_Index(face, ch);
    FT_Error error = FT_Load_Glyph(face, g.index, FT_LOAD_DEFAULT);
    if (error) {
        TTF_SetError("Couldn't find glyph");
        return nullptr;
    }
    if (!g.measured) {
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        g.minx = floor_px(m.horiBearingX);
        g.maxx = g.minx + ceil_px(m.width);
        g.maxy = floor_px(m.horiBearingY);
        g.miny = g.maxy - ceil_px(m.height);
        g.yoffset = f->ascent - g.maxy;
        g.advance = ceil_px(m.horiAdvance);
        if (thickens(f)) g.maxx += f->overhang;
        if (slants(f)) g.maxx += int(std::ceil(f->italic_lean));
        g.measured = true;
    }
    if (draw) {
        if (!draw_glyph(f, g)) return nullptr;
        g.drawn = true;
    }
    return &g;
}

bool library_ready(const void* p) {
    if (!init_count) {
        TTF_SetError("Library not initialized");
        return false;
    }
    if (!p) {
        TTF_SetError("Passed a NULL pointer");
        return false;
    }
    return true;
}

// Fills `rows` rows from `top` across the whole surface with the text colour.
void draw_line(const TTF_Font* f, SDL_Surface* s, int top) {
    Uint8* end = static_cast<Uint8*>(s->pixels) + s->pitch * s->h;
    Uint8* at = static_cast<Uint8*>(s->pixels);
    if (top > 0) at += top * s->pitch;
    for (int n = f->underline_height; n > 0 && at < end; --n) {
        memset(at, 1, size_t(s->w));
        at += s->pitch;
    }
}

} // namespace

extern "C" {

int TTF_Init(void) {
    if (!init_count && FT_Init_FreeType(&library) != 0) {
        TTF_SetError("Couldn't init FreeType engine");
        return -1;
    }
    ++init_count;
    return 0;
}

int TTF_WasInit(void) {
    return init_count;
}

void TTF_Quit(void) {
    if (init_count && --init_count == 0) FT_Done_FreeType(library);
}

TTF_Font* TTF_OpenFont(const char* file, int ptsize) {
    if (!init_count) {
        TTF_SetError("Library not initialized");
        return nullptr;
    }
    long size = 0;
    unsigned char* data = read_font_file(file, &size);
    if (!data) return nullptr;
    TTF_Font* f = static_cast<TTF_Font*>(calloc(1, sizeof(TTF_Font)));
    if (!f) {
        free(data);
        TTF_SetError("Out of memory");
        return nullptr;
    }
    f->file = data;
    if (FT_New_Memory_Face(library, data, FT_Long(size), 0, &f->face) != 0) {
        TTF_SetError("Couldn't load font file");
        TTF_CloseFont(f);
        return nullptr;
    }
    FT_Face face = f->face;
    choose_charmap(face);
    // Bitmap-only faces (the game's are both outlines) are not drawn here.
    if (!FT_IS_SCALABLE(face)) {
        TTF_SetError("Couldn't set font size");
        TTF_CloseFont(f);
        return nullptr;
    }
    if (FT_Set_Char_Size(face, 0, FT_F26Dot6(ptsize) * 64, 0, 0) != 0) {
        TTF_SetError("Couldn't set font size");
        TTF_CloseFont(f);
        return nullptr;
    }
    FT_Fixed scale = face->size->metrics.y_scale;
    f->ascent = ceil_px(FT_MulFix(face->ascender, scale));
    f->descent = ceil_px(FT_MulFix(face->descender, scale));
    f->height = f->ascent - f->descent + 1; // the baseline's own row
    f->lineskip = ceil_px(FT_MulFix(face->height, scale));
    f->underline_offset = floor_px(FT_MulFix(face->underline_position, scale));
    f->underline_height = floor_px(FT_MulFix(face->underline_thickness, scale));
    if (f->underline_height < 1) f->underline_height = 1;
    if (face->style_flags & FT_STYLE_FLAG_BOLD) f->face_style |= TTF_STYLE_BOLD;
    if (face->style_flags & FT_STYLE_FLAG_ITALIC) f->face_style |= TTF_STYLE_ITALIC;
    f->style = f->face_style;
    f->overhang = int(face->size->metrics.y_ppem / 10);
    f->italic_lean = ITALIC_SLANT * float(f->height);
    return f;
}

void TTF_CloseFont(TTF_Font* font) {
    if (!font) return;
    forget_glyphs(font);
    if (font->face) FT_Done_Face(font->face);
    free(font->file);
    free(font);
}

int TTF_GetFontStyle(const TTF_Font* font) {
    return font->style;
}

void TTF_SetFontStyle(TTF_Font* font, int style) {
    int before = font->style;
    font->style = style | font->face_style;
    // The lines are drawn over the text: only bold and italic change glyphs.
    const int glyph_styles = TTF_STYLE_BOLD | TTF_STYLE_ITALIC;
    if ((font->style & glyph_styles) != (before & glyph_styles)) forget_glyphs(font);
}

int TTF_FontHeight(const TTF_Font* font) {
    return font->height;
}

int TTF_FontAscent(const TTF_Font* font) {
    return font->ascent;
}

int TTF_FontDescent(const TTF_Font* font) {
    return font->descent;
}

int TTF_FontLineSkip(const TTF_Font* font) {
    return font->lineskip;
}

int TTF_SizeText(TTF_Font* font, const char* text, int* w, int* h) {
    if (!library_ready(text)) return -1;
    bool kerning = FT_HAS_KERNING(font->face);
    int x = 0, minx = 0, maxx = 0, miny = 0;
    FT_UInt previous = 0;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        Glyph* g = find_glyph(font, *c, false);
        if (!g) return -1;
        if (kerning && previous && g->index) {
            FT_Vector delta;
            FT_Get_Kerning(font->face, previous, g->index, FT_KERNING_DEFAULT, &delta);
            x += int(delta.x >> 6);
        }
        if (x + g->minx < minx) minx = x + g->minx;
        if (thickens(font)) x += font->overhang;
        int right = x + (g->advance > g->maxx ? g->advance : g->maxx);
        if (right > maxx) maxx = right;
        x += g->advance;
        if (g->miny < miny) miny = g->miny;
        previous = g->index;
    }
    if (w) *w = maxx - minx;
    if (h) {
        *h = font->ascent - miny;
        if (*h < font->height) *h = font->height;
        if (underlines(font)) {
            int bottom = underline_top_row(font) + font->underline_height;
            if (*h < bottom) *h = bottom;
        }
    }
    return 0;
}

SDL_Surface* TTF_RenderText_Solid(TTF_Font* font, const char* text, SDL_Color fg) {
    if (!library_ready(text)) return nullptr;
    int width = 0, height = 0;
    if (TTF_SizeText(font, text, &width, &height) < 0 || !width) {
        TTF_SetError("Text has zero width");
        return nullptr;
    }
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    if (!s) return nullptr;
    SDL_Color* colours = s->format->palette->colors;
    colours[0].r = Uint8(255 - fg.r);
    colours[0].g = Uint8(255 - fg.g);
    colours[0].b = Uint8(255 - fg.b);
    colours[1].r = fg.r;
    colours[1].g = fg.g;
    colours[1].b = fg.b;
    SDL_SetColorKey(s, SDL_SRCCOLORKEY, 0);

    Uint8* pixels = static_cast<Uint8*>(s->pixels);
    const long end = long(s->pitch) * s->h;
    bool kerning = FT_HAS_KERNING(font->face);
    FT_UInt previous = 0;
    int x = 0;
    bool first = true;
    for (const unsigned char* c = reinterpret_cast<const unsigned char*>(text); *c; ++c) {
        Glyph* g = find_glyph(font, *c, true);
        if (!g) {
            SDL_FreeSurface(s);
            return nullptr;
        }
        // A picture wider than the glyph's box is cut to the box.
        int span = g->width;
        if (span > g->maxx - g->minx) span = g->maxx - g->minx;
        if (kerning && previous && g->index) {
            FT_Vector delta;
            FT_Get_Kerning(font->face, previous, g->index, FT_KERNING_DEFAULT, &delta);
            x += int(delta.x >> 6);
        }
        // A first glyph reaching left of the pen starts the text further right.
        if (first && g->minx < 0) x -= g->minx;
        first = false;
        for (int r = 0; r < g->rows; ++r) {
            int y = r + g->yoffset;
            if (y < 0 || y >= s->h) continue;
            // Rows are one run: a glyph poking out of a row's end lands at
            // the start of the next, and whatever falls past the surface's
            // last byte is dropped.
            long at = long(y) * s->pitch + x + g->minx;
            const Uint8* from = g->pixels + r * g->pitch;
            for (int n = 0; n < span && at + n < end; ++n)
                if (at + n >= 0) pixels[at + n] |= from[n];
        }
        x += g->advance;
        if (thickens(font)) x += font->overhang;
        previous = g->index;
    }
    if (underlines(font)) draw_line(font, s, underline_top_row(font));
    if (strikes(font)) draw_line(font, s, font->height / 2);
    return s;
}

} // extern "C"
