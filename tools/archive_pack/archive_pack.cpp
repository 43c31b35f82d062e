#include "archive_pack/archive_pack.h"

#include <cstdio>

namespace {
void put_word(FILE* f, uint32_t w) {
    unsigned char b[4] = {Uint8(w), Uint8(w >> 8), Uint8(w >> 16), Uint8(w >> 24)};
    fwrite(b, 1, 4, f);
}
bool get_word(FILE* f, uint32_t* w) {
    unsigned char b[4];
    if (fread(b, 1, 4, f) != 4) return false;
    *w = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}
} // namespace

bool write_archive(const char* path, const std::vector<ArchivePicture>& pictures) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    uint32_t offset = uint32_t(4 * pictures.size());
    for (const ArchivePicture& p : pictures) {
        put_word(f, offset);
        offset += 8 + 4 * uint32_t(p.pixels.size());
    }
    for (const ArchivePicture& p : pictures) {
        put_word(f, uint32_t(p.width));
        put_word(f, uint32_t(p.height));
        for (uint32_t v : p.pixels)
            put_word(f, v & 0x00FFFFFFu);
    }
    return fclose(f) == 0;
}

bool read_archive(const char* path, std::vector<ArchivePicture>& pictures) {
    pictures.clear();
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    uint32_t indexSize = 0;
    bool ok = get_word(f, &indexSize) && indexSize % 4 == 0 && indexSize >= 4;
    fseek(f, 0, SEEK_END);
    long fileSize = ftell(f);
    if (ok && long(indexSize) > fileSize) ok = false;
    std::vector<uint32_t> offsets;
    if (ok) {
        fseek(f, 0, SEEK_SET);
        for (uint32_t i = 0; i < indexSize / 4 && ok; ++i) {
            uint32_t o;
            ok = get_word(f, &o);
            offsets.push_back(o);
        }
    }
    for (size_t i = 0; ok && i < offsets.size(); ++i) {
        uint32_t w = 0, h = 0;
        ok = fseek(f, long(offsets[i]), SEEK_SET) == 0 && get_word(f, &w) && get_word(f, &h);
        long long n = (long long)int32_t(w) * int32_t(h);
        if (!ok || int32_t(w) < 0 || int32_t(h) < 0 || n * 4 > fileSize) {
            ok = false;
            break;
        }
        ArchivePicture p{int32_t(w), int32_t(h), std::vector<uint32_t>(size_t(n))};
        for (long long k = 0; k < n && ok; ++k)
            ok = get_word(f, &p.pixels[size_t(k)]);
        pictures.push_back(std::move(p));
    }
    fclose(f);
    return ok;
}

ArchivePicture picture_from_surface(SDL_Surface* s) {
    ArchivePicture p{s->w, s->h, std::vector<uint32_t>(size_t(s->w) * s->h)};
    SDL_LockSurface(s);
    for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
            Uint8* px =
                static_cast<Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel;
            Uint32 raw = 0;
            switch (s->format->BytesPerPixel) {
            case 1:
                raw = *px;
                break;
            case 2:
                raw = *reinterpret_cast<Uint16*>(px);
                break;
            case 3:
                raw = px[0] | px[1] << 8 | px[2] << 16;
                break;
            default:
                raw = *reinterpret_cast<Uint32*>(px);
                break;
            }
            Uint8 r, g, b;
            SDL_GetRGB(raw, s->format, &r, &g, &b);
            p.pixels[size_t(y) * s->w + x] = uint32_t(r) << 16 | uint32_t(g) << 8 | b;
        }
    SDL_UnlockSurface(s);
    return p;
}

SDL_Surface* surface_from_picture(const ArchivePicture& p) {
    SDL_Surface* s = SDL_CreateRGBSurface(SDL_SWSURFACE, p.width, p.height, 32, 0x00FF0000,
                                          0x0000FF00, 0x000000FF, 0);
    if (!s) return nullptr;
    SDL_LockSurface(s);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            *reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch + x * 4) =
                p.pixels[size_t(y) * p.width + x];
    SDL_UnlockSurface(s);
    return s;
}
