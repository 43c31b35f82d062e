#include "archive/archive.h"

#include "platform/system.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const ARCHIVE_PATH = "pics/pics.dat";

namespace {
// Reads one little-endian 32-bit word; false at the end of the file.
bool read_word(FILE* f, uint32_t* out) {
    unsigned char b[4];
    if (fread(b, 1, 4, f) != 4) return false;
    *out = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    return true;
}

// The word's top byte is unused: an archive packed with anything there must
// still match the grey colour key. Eight words at a time, so that the compiler
// turns the body into vector instructions.
void clear_top_bytes(Uint32* words, size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8)
        for (size_t k = 0; k < 8; ++k)
            words[i + k] = SDL_SwapLE32(words[i + k]) & 0x00FFFFFFu;
    for (; i < count; ++i)
        words[i] = SDL_SwapLE32(words[i]) & 0x00FFFFFFu;
}

// Reads up to bytes of pixel words into run and clears their top bytes, a
// piece at a time while the piece is still in the cache: a second pass over
// the whole picture afterwards would cost as much as reading it. Returns the
// bytes read.
size_t read_pixel_words(FILE* f, Uint8* run, size_t bytes) {
    constexpr size_t PIECE = 128 * 1024;
    size_t done = 0;
    while (done < bytes) {
        size_t want = bytes - done < PIECE ? bytes - done : PIECE;
        size_t got = fread(run + done, 1, want, f);
        clear_top_bytes(reinterpret_cast<Uint32*>(run + done), got / 4);
        done += got;
        if (got < want) break;
    }
    return done;
}

// The whole file's size, the stream left where it was (0 when it cannot tell).
long long stream_size(FILE* f) {
    long at = ftell(f);
    if (at < 0 || fseek(f, 0, SEEK_END) != 0) return 0;
    long size = ftell(f);
    if (fseek(f, at, SEEK_SET) != 0) return 0;
    return size < 0 ? 0 : size;
}
} // namespace

int define_indexTab_size() {
    int size = 0;
    FILE* f = fopen(ARCHIVE_PATH, "rb");
    if (!f) {
        fprintf(stderr, "Err / define_indexTab_size ouverture de compile.dat.");
    } else {
        rewind(f);
        uint32_t w = 0;
        if (read_word(f, &w)) size = int(w);
        fclose(f);
    }
    printf("taille de l'index =%d octets\n", size);
    return size;
}

int load_index_tab(uint32_t* table, unsigned int size) {
    // A larger index keeps only as many entries as the table holds, and the
    // count returned is what the table holds.
    unsigned int entries = size / 4;
    if (entries > unsigned(INDEX_ENTRIES)) entries = INDEX_ENTRIES;
    if (!table) entries = 0;
    FILE* f = fopen(ARCHIVE_PATH, "rb");
    if (!f) {
        fprintf(stderr, "Err / load_index_tab ouverture de compile.dat_n");
    } else {
        rewind(f);
        // A short index leaves its missing entries as they were.
        for (unsigned int i = 0; i < entries; ++i) {
            uint32_t w;
            if (!read_word(f, &w)) break;
            table[i] = w;
        }
        fclose(f);
    }
    for (unsigned int i = 0; i < entries; ++i)
        printf("valeur %d de l'index :%lx\n", int(i), (unsigned long)table[i]);
    return int(entries);
}

void put_pixel(SDL_Surface* surface, int i, uint32_t value) {
    if (!surface || !surface->pixels || i < 0) return;
    int b = surface->format->BytesPerPixel;
    // Never past the surface's memory, whatever position is asked for.
    if ((long long)i * b + b > (long long)surface->pitch * surface->h) return;
    Uint8* p = static_cast<Uint8*>(surface->pixels) + (long)i * b;
    switch (b) {
    case 1:
        *p = Uint8(value);
        break;
    case 2:
        *reinterpret_cast<Uint16*>(p) = Uint16(value);
        break;
    case 3:
        p[0] = Uint8(value);
        p[1] = Uint8(value >> 8);
        p[2] = Uint8(value >> 16);
        break;
    case 4:
        *reinterpret_cast<Uint32*>(p) = value;
        break;
    default:
        break;
    }
}

SDL_Surface* reload_pic(const uint32_t* table, int index) {
    // Read and update, as the game opens all its files; nothing is ever written.
    FILE* f = fopen(ARCHIVE_PATH, "rb+");
    if (!f) f = fopen(ARCHIVE_PATH, "rb"); // a read-only install still loads
    if (!f) {
        fprintf(stderr, "Err / reload_pic ouverture de pics.dat\n");
        // The caller's message quotes the SDL error: say what went wrong.
        SDL_SetError("ouverture de %s impossible", ARCHIVE_PATH);
        return nullptr;
    }
    if (!table || index < 0 || index >= INDEX_ENTRIES) {
        fclose(f);
        SDL_SetError("numero d'image hors de l'index : %d", index);
        return nullptr;
    }
    uint32_t w = 0, h = 0;
    bool header =
        fseek(f, long(table[index]), SEEK_SET) == 0 && read_word(f, &w) && read_word(f, &h);
    int width = int(w), height = int(h);
    printf("taille fichier % d relue = %d*%d\n", index, width, height);
    if (!header) {
        fclose(f);
        SDL_SetError("en-tete d'image %d illisible", index);
        return nullptr;
    }
    // A negative size, more pixels than the archive could hold, or a row too
    // wide for a surface's 16-bit pitch is damage.
    long long fileSize = stream_size(f);
    long long pixels = (long long)width * (long long)height;
    if (width < 0 || height < 0 || width > 16383 || pixels * 4 > fileSize ||
        pixels * 4 > 0x7FFFFFFFLL) {
        fclose(f);
        SDL_SetError("image %d de taille invalide %d*%d", index, width, height);
        return nullptr;
    }
    SDL_Surface* s =
        surface_made(SDL_CreateRGBSurface(SDL_HWSURFACE, width, height, 32, 0, 0, 0, 0));
    if (!s) {
        fprintf(stderr, "Err / reload_pic création de la surface :%s\n", SDL_GetError());
        fclose(f);
        return nullptr;
    }
    if (s->pitch != width * 4) { // the pixel run below relies on unpadded rows
        SDL_SetError("lignes de %d octets pour une largeur de %d", int(s->pitch), width);
        fprintf(stderr, "Err / reload_pic création de la surface :%s\n", SDL_GetError());
        surface_free(s);
        fclose(f);
        return nullptr;
    }
    SDL_LockSurface(s);
    // Rows are addressed as one run: a 32-bit surface's pitch is width x 4, so
    // the file's pixel words go straight into the surface.
    Uint8* run = static_cast<Uint8*>(s->pixels);
    size_t bytes = size_t(pixels) * 4;
    if (run && bytes > 0) {
        size_t got = read_pixel_words(f, run, bytes);
        // A short pixel run leaves the rest black, a word cut short included.
        size_t whole = got - got % 4;
        memset(run + whole, 0, bytes - whole);
    }
    SDL_UnlockSurface(s);
    fclose(f);
    return s;
}

uint32_t* open_index_tab() {
    int size = define_indexTab_size();
    uint32_t* table = static_cast<uint32_t*>(calloc(INDEX_ENTRIES, sizeof(uint32_t)));
    if (table) load_index_tab(table, unsigned(size));
    return table;
}

void free_index_tab(uint32_t* table) {
    free(table);
}
