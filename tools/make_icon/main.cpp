// make_icon SOURCE.bmp SIZE OUT.png: the desktop icon, a SIZE x SIZE PNG made
// from the game's window icon. Small pictures grow by a whole factor so their
// pixels stay sharp; large ones shrink by averaging. When the BMP cannot be
// read, the icon is drawn here instead, so an install never lacks one.
#include "archive_pack/archive_pack.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Rgba {
    uint8_t r, g, b, a;
};

struct Image {
    int width;
    int height;
    std::vector<Rgba> pixels; // row by row
};

// The game's colour key: this grey is background, not picture.
const uint32_t KEY_GREY = 0x7D7D7D;

bool load_picture(const char* path, Image& out) {
    SDL_Surface* s = SDL_LoadBMP(path);
    if (!s) return false;
    ArchivePicture p = picture_from_surface(s);
    SDL_FreeSurface(s);
    if (p.width <= 0 || p.height <= 0) return false;
    out.width = p.width;
    out.height = p.height;
    out.pixels.resize(p.pixels.size());
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        uint32_t c = p.pixels[i];
        out.pixels[i] =
            Rgba{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c == KEY_GREY ? 0 : 255)};
    }
    return true;
}

// A yellow chevron with speed lines on a round dark-blue badge.
Image drawn_icon(int size) {
    Image img{size, size, std::vector<Rgba>(size_t(size) * size, Rgba{0, 0, 0, 0})};
    const double c = (size - 1) / 2.0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double u = (x - c) / (size / 2.0), v = (y - c) / (size / 2.0);
            if (u * u + v * v > 0.96) continue;
            Rgba px{20, 30, 90, 255};
            double arm = v - 0.45 + 1.6 * (u < 0 ? -u : u); // the V of Vrillon
            if (arm > -0.12 && arm < 0.12 && v > -0.55 && v < 0.55) px = Rgba{255, 200, 0, 255};
            if (u < -0.35 && ((v > -0.08 && v < 0.0) || (v > 0.2 && v < 0.28)))
                px = Rgba{240, 240, 240, 255};
            img.pixels[size_t(y) * size + x] = px;
        }
    return img;
}

// Fits the picture in a size x size square, centred on transparency.
Image fit_square(const Image& src, int size) {
    Image out{size, size, std::vector<Rgba>(size_t(size) * size, Rgba{0, 0, 0, 0})};
    int longest = src.width > src.height ? src.width : src.height;
    if (longest <= size) {
        int k = size / longest;
        int w = src.width * k, h = src.height * k;
        int ox = (size - w) / 2, oy = (size - h) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                out.pixels[size_t(oy + y) * size + ox + x] =
                    src.pixels[size_t(y / k) * src.width + x / k];
        return out;
    }
    // Shrinking: each output pixel averages the source pixels that fall in
    // it, weighted by their alpha so the key colour does not bleed in.
    int w = int(int64_t(src.width) * size / longest), h = int(int64_t(src.height) * size / longest);
    if (w < 1) w = 1;
    if (h < 1) h = 1;
    int ox = (size - w) / 2, oy = (size - h) / 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int x0 = int(int64_t(x) * src.width / w), x1 = int(int64_t(x + 1) * src.width / w);
            int y0 = int(int64_t(y) * src.height / h), y1 = int(int64_t(y + 1) * src.height / h);
            if (x1 <= x0) x1 = x0 + 1;
            if (y1 <= y0) y1 = y0 + 1;
            uint64_t r = 0, g = 0, b = 0, a = 0, n = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx) {
                    const Rgba& p = src.pixels[size_t(sy) * src.width + sx];
                    r += uint64_t(p.r) * p.a;
                    g += uint64_t(p.g) * p.a;
                    b += uint64_t(p.b) * p.a;
                    a += p.a;
                    ++n;
                }
            Rgba& d = out.pixels[size_t(oy + y) * size + ox + x];
            if (a) d = Rgba{uint8_t(r / a), uint8_t(g / a), uint8_t(b / a), uint8_t(a / n)};
        }
    return out;
}

uint32_t crc_table[256];

void make_crc_table() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crc_table[n] = c;
    }
}

uint32_t crc32_of(const std::vector<uint8_t>& bytes, size_t from) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i)
        c = crc_table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void put_chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put_u32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put_u32(out, crc32_of(out, start));
}

// A zlib stream of stored (uncompressed) blocks: icons are small, and this
// needs no compression library.
std::vector<uint8_t> zlib_stored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos < 65535 ? raw.size() - pos : 65535;
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t s1 = 1, s2 = 0;
    for (uint8_t byte : raw) {
        s1 = (s1 + byte) % 65521;
        s2 = (s2 + s1) % 65521;
    }
    put_u32(z, s2 << 16 | s1);
    return z;
}

bool write_png(const char* path, const Image& img) {
    make_crc_table();
    std::vector<uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put_u32(header, uint32_t(img.width));
    put_u32(header, uint32_t(img.height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, no interlace
    put_chunk(png, "IHDR", header);
    std::vector<uint8_t> raw;
    raw.reserve(size_t(img.height) * (1 + 4 * size_t(img.width)));
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < img.width; ++x) {
            const Rgba& p = img.pixels[size_t(y) * img.width + x];
            raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
        }
    }
    put_chunk(png, "IDAT", zlib_stored(raw));
    put_chunk(png, "IEND", {});
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
    return fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: make_icon SOURCE.bmp SIZE OUT.png\n");
        return 2;
    }
    char* end = nullptr;
    long size = strtol(argv[2], &end, 10);
    if (*argv[2] == '\0' || *end != '\0' || size < 16 || size > 1024) {
        fprintf(stderr, "make_icon: SIZE must be 16 to 1024, not '%s'\n", argv[2]);
        return 2;
    }
    Image source;
    Image icon;
    if (load_picture(argv[1], source)) {
        icon = fit_square(source, int(size));
    } else {
        fprintf(stderr, "make_icon: cannot read %s (%s); drawing the icon instead\n", argv[1],
                SDL_GetError());
        icon = drawn_icon(int(size));
    }
    if (!write_png(argv[3], icon)) {
        fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
